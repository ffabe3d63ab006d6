#pragma once

#include "gui/ILoadingProgress.h"

#include <OgreResourceGroupManager.h>

#include <string>

namespace Ogre
{
class RenderWindow;
}

// A screen shown while OGRE parses and loads resource groups and a chapter's data loads: it turns OGRE's
// resource-group notifications and the data loader's items into one progress from 0 to 1 and a caption,
// and renders the window after each step, since the main loop does not run while loading. The drawing is
// the subclasses'.
//
// The loader sets the window and the shares, calls OnStart and renders the window once, listens with the
// screen while it loads, then calls OnEnd and sets the window back to null before deleting the screen.
class cl_LoadingScreen : public Ogre::ResourceGroupListener, public ILoadingProgress
{
public:
    // The part of a group's share spent on parsing its scripts; loading its resources gets the rest.
    static constexpr float SCRIPT_SHARE = 0.7f;

    ~cl_LoadingScreen() override = default;

    // The window rendered after each step (not owned); null renders nothing.
    void SetRenderWindow(Ogre::RenderWindow* window) { m_renderWindow = window; }
    // How the bar is shared out: dataShare is the part for the items reported through ILoadingProgress;
    // the rest goes to scriptGroups groups parsed and loadGroups groups loaded (none: the groups move
    // nothing); dataLoads data loads report.
    void SetShares(float dataShare, int scriptGroups, int loadGroups, int dataLoads);
    float GetProgress() const { return m_progress; }
    const std::string& GetCaption() const { return m_caption; }

    void resourceGroupScriptingStarted(const Ogre::String& groupName, size_t scriptCount) override;
    void scriptParseStarted(const Ogre::String& scriptName, bool& skipThisScript) override;
    void scriptParseEnded(const Ogre::String& scriptName, bool skipped) override;
    void resourceGroupScriptingEnded(const Ogre::String& groupName) override;
    void resourceGroupLoadStarted(const Ogre::String& groupName, size_t resourceCount) override;
    // A null resource leaves the caption empty.
    void resourceLoadStarted(const Ogre::ResourcePtr& resource) override;
    void resourceLoadEnded() override;
    void worldGeometryStageStarted(const Ogre::String& description) override;
    void worldGeometryStageEnded() override;
    void resourceGroupLoadEnded(const Ogre::String& groupName) override;

    // A screen configured without data loads takes one (logged). No items (count 0 or less) step by 0.
    // The only notification that renders nothing.
    void OnDataLoadStarted(int count) override;
    void OnDataLoaded() override;
    void OnDataLoadEnded() override {}

    // Builds the screen with the progress as set.
    virtual void OnStart() = 0;
    virtual void OnProgress() = 0;
    virtual void OnCaptionChanged() = 0;
    // Takes the screen down.
    virtual void OnEnd() = 0;

private:
    // Adds the step to the progress, then OnProgress and a render.
    void Advance();
    // Sets the caption, then OnCaptionChanged and a render.
    void ChangeCaption(const std::string& caption);
    void Render();

    Ogre::RenderWindow* m_renderWindow = nullptr;
    float m_step = 0.0f;
    float m_progress = 0.0f;
    std::string m_caption;
    float m_dataShare = 0.0f;
    int m_scriptGroups = 0;
    int m_loadGroups = 0;
    int m_dataLoads = 0;
};
