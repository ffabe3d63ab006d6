#pragma once

#include <string>

class TiXmlElement;

// How a scene asset tells the loaded runtime of its scene about changes to the scene's game state. The
// runtime appends itself to its scene asset when it loads the scene and removes itself when it unloads.
// Elements handed over belong to the caller and are valid only during the call.
class ISceneStateListener
{
public:
    virtual ~ISceneStateListener() = default;

    // A new `sceneobject` element (itemref, locationref).
    virtual void NotifyItemEntered(const TiXmlElement& sceneObject) = 0;
    // A copy of the `sceneobject` element that was removed.
    virtual void NotifyItemLeft(const TiXmlElement& sceneObject) = 0;
    // A new `puppet` element (characterref, locationref).
    virtual void NotifyCharacterEntered(const TiXmlElement& puppet) = 0;
    // A copy of the `puppet` element that was removed.
    virtual void NotifyCharacterLeft(const TiXmlElement& puppet) = 0;
    // The scene state was bound again: the runtime places its objects anew from it.
    virtual void NotifySpawn() = 0;
    // Told just before the scene state is bound again: the runtime removes the objects it placed.
    virtual void NotifyDespawn() = 0;
    // The game is being saved: the runtime writes its objects' placement back.
    virtual void NotifySavePlacements() = 0;
    virtual void NotifyItemMoved(const std::string& itemId, const std::string& oldLocation,
                                 const std::string& newLocation) = 0;
    virtual void NotifyCharacterMoved(const std::string& characterId, const std::string& oldLocation,
                                      const std::string& newLocation) = 0;
};
