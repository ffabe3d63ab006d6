#include "gui/cl_LoadingScreen.h"

#include "common/LogCall.h"

#include <OgreRenderWindow.h>
#include <OgreResource.h>

void cl_LoadingScreen::SetShares(float dataShare, int scriptGroups, int loadGroups, int dataLoads)
{
    m_dataShare = dataShare;
    m_scriptGroups = scriptGroups;
    m_loadGroups = loadGroups;
    m_dataLoads = dataLoads;
}

namespace
{
// The share divided among count steps of each of groups groups; no groups take no step (and divide by
// nothing).
float Step(float share, size_t count, int groups)
{
    return groups > 0 ? share / static_cast<float>(count + 1) / static_cast<float>(groups) : 0.0f;
}
} // namespace

void cl_LoadingScreen::resourceGroupScriptingStarted(const Ogre::String&, size_t scriptCount)
{
    m_step = Step((1.0f - m_dataShare) * SCRIPT_SHARE, scriptCount, m_scriptGroups);
    ChangeCaption("Parsing scripts...");
}

void cl_LoadingScreen::scriptParseStarted(const Ogre::String& scriptName, bool&)
{
    ChangeCaption(scriptName);
}

void cl_LoadingScreen::scriptParseEnded(const Ogre::String&, bool)
{
    Advance();
}

void cl_LoadingScreen::resourceGroupScriptingEnded(const Ogre::String&)
{
    Advance();
}

void cl_LoadingScreen::resourceGroupLoadStarted(const Ogre::String&, size_t resourceCount)
{
    m_step = Step((1.0f - m_dataShare) * (1.0f - SCRIPT_SHARE), resourceCount, m_loadGroups);
    ChangeCaption("Loading resources...");
}

void cl_LoadingScreen::resourceLoadStarted(const Ogre::ResourcePtr& resource)
{
    ChangeCaption(resource ? resource->getName() : std::string());
}

void cl_LoadingScreen::resourceLoadEnded()
{
    Advance();
}

void cl_LoadingScreen::worldGeometryStageStarted(const Ogre::String& description)
{
    ChangeCaption(description);
}

void cl_LoadingScreen::worldGeometryStageEnded()
{
    Advance();
}

void cl_LoadingScreen::resourceGroupLoadEnded(const Ogre::String&)
{
    Advance();
}

void cl_LoadingScreen::OnDataLoadStarted(int count)
{
    if (m_dataLoads == 0)
    {
        LOG_ERROR("Not prepared to load additional data!");
        m_dataLoads = 1;
    }
    // Nothing to load would divide by zero.
    m_step = count > 0 ? m_dataShare / static_cast<float>(count) / static_cast<float>(m_dataLoads) : 0.0f;
}

void cl_LoadingScreen::OnDataLoaded()
{
    Advance();
}

void cl_LoadingScreen::Advance()
{
    m_progress += m_step;
    OnProgress();
    Render();
}

void cl_LoadingScreen::ChangeCaption(const std::string& caption)
{
    m_caption = caption;
    OnCaptionChanged();
    Render();
}

void cl_LoadingScreen::Render()
{
    if (m_renderWindow)
        m_renderWindow->update(true);
}
