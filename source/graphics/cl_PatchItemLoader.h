#pragma once

#include <memory>
#include <string>

class TiXmlElement;
class cl_PatchItem;

namespace Ogre
{
class SceneManager;
} // namespace Ogre

// Builds patch items from the data's `patchitem` elements. Animations resolve their patches among the
// current scene's while they are read, so a scene reads its patch items once its patches exist.
class cl_PatchItemLoader
{
public:
    // A new patch item with that id, filled by LoadFromXml. Null without a scene manager (silently), and,
    // logged, for an element that is no `patchitem`.
    static std::unique_ptr<cl_PatchItem> Load(Ogre::SceneManager* sceneManager, const TiXmlElement* element,
                                              const std::string& id);
    // With clear, empties the animations and visual states first. Each `animation` of the first `animations`
    // with a non-empty `name` and `patch` is read (replacing one of the same name), then its `event`
    // children up to the first without text; then the `visualstates`. A `trigger` is ignored with a
    // warning: a patch item has no scripts of its own. Always true.
    static bool LoadFromXml(cl_PatchItem& item, const TiXmlElement& element, bool clear);
};
