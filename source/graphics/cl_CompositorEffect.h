#pragma once

#include "graphics/cl_BaseEffect.h"

#include <string>

namespace Ogre
{
class CompositorInstance;
class Viewport;
} // namespace Ogre

// The effect "compositor": a named OGRE compositor at the end of the scene's viewport's chain, switched
// on and off with the effect. It is made inactive, so that loading switches it on unless its element
// says otherwise. A compositor OGRE does not know (or an effect without `template`) is logged when it
// loads and does nothing.
class cl_CompositorEffect : public cl_BaseEffect
{
public:
    static const char* const TYPE;

    explicit cl_CompositorEffect(const std::string& id);
    // Unloads.
    ~cl_CompositorEffect() override;

    // Adds the compositor that the child `template` names to the scene manager's current viewport (when
    // it has none yet, the viewport one of its cameras was last shown in). Reads no float sources.
    void LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager) override;
    // Takes the compositor out of the viewport's chain.
    void Unload() override;
    void SetEnabled(bool enabled) override;

    // Null when no compositor was added.
    Ogre::CompositorInstance* GetCompositorInstance() const { return m_compositorInstance; }

private:
    Ogre::CompositorInstance* m_compositorInstance = nullptr;
    Ogre::Viewport* m_viewport = nullptr;
    std::string m_template;
};
