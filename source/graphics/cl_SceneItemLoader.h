#pragma once

#include <memory>

class TiXmlElement;
class cl_SceneItem;

namespace Ogre
{
class SceneManager;
} // namespace Ogre

// Builds scene items from the data's `item` elements and reads such an element into a built item again.
class cl_SceneItemLoader
{
public:
    // A new item named after the element's `assetref`, on sceneManager, filled by LoadFromXml. Null, logged,
    // for a null scene manager, an element that is no `item` or lacks the `assetref`.
    static std::unique_ptr<cl_SceneItem> Load(Ogre::SceneManager* sceneManager, const TiXmlElement* element);
    // Reads `persistent` (exactly "true" sets it), the `puppet` (not on reload), `pickable` (exactly "true"
    // makes the puppet pickable, anything else not), the `controls` (a name the puppet has already makes
    // that control read the child; otherwise `idlectrl`, `specialctrl`, `autoactionctrl` or `autoanimctrl`
    // by element name, heard by the item; other names are logged and skipped), `examinedistance` (cut to
    // an integer, 0 when no number), `visualstates`, `trigger` and the focus. Always true.
    static bool LoadFromXml(cl_SceneItem& item, const TiXmlElement& element, bool reload);
};
