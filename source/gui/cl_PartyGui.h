#pragma once

#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Party.h"
#include "gui/PartyPortrait.h"

#include <cstddef>
#include <string>
#include <vector>

namespace Ogre
{
class Overlay;
class OverlayContainer;
} // namespace Ogre

// The party view: a portrait per party member in a column at the top left of the game screen, shown only
// while the party has more than one member. The portrait of the character the player controls shows its
// "_active" picture, the one under the mouse its "_selected" picture; the in-game menu's picking asks the
// view for the character under the mouse.
//
// The portraits live between Init and Destroy. Positions and sizes are fractions of the screen.
class cl_PartyGui final : public IPartyListener, public IGameComponentListener
{
public:
    cl_PartyGui() = default;
    ~cl_PartyGui();
    cl_PartyGui(const cl_PartyGui&) = delete;
    cl_PartyGui& operator=(const cl_PartyGui&) = delete;

    // Makes the panel "_party_container" in overlay (not owned, must outlive Destroy), joins the listeners
    // of the game components and their party (when there are any) and makes the members' portraits.
    // Nothing when the panel exists.
    void Init(Ogre::Overlay* overlay);
    // Takes the portraits and the panel down and leaves the listeners; nothing before Init.
    void Destroy();

    bool IsShown() const { return m_shown; }
    // Hides the column until the next layout.
    void Hide();
    // The panel's size and top left corner, set by the in-game menu.
    void SetSize(float width, float height);
    void SetPosition(float x, float y);

    // The id of the character whose portrait is under the point; "" while the column is hidden and over no
    // portrait. The portrait found shows its "_selected" picture, the others their plain one.
    std::string GetIdAt(float x, float y);
    // Stacks the portraits from the column's top, each 0.0625 of the screen wide and square in pixels,
    // each with its picture for its state; shows the column exactly when it holds more than one portrait.
    void Layout();
    // Makes the portraits of the party's members anew, in the order they joined. A member listed twice
    // gets one portrait (logged).
    void Rebuild();

    // The portrait of the character; null when there is none.
    const PartyPortrait* FindPortrait(const std::string& characterId) const;
    const std::string& GetActiveCharacter() const { return m_activeCharacter; }
    // "icon_<id>[_<tag>]", then "_active" for the active member, else "_selected" under the mouse. When OGRE
    // has no material of that name, one is made in "GAMEDATA": unlit, blended by its alpha, showing the
    // texture of that name with ".tga".
    static std::string GetPortraitMaterialName(const std::string& characterId, const std::string& tag,
                                               bool active, bool hovered);

    void OnMemberAdded(const std::string& characterId) override;
    // Nothing but the layout for a character without portrait.
    void OnMemberRemoved(const std::string& characterId) override;
    // The portraits are made anew (with the members' tags now) and the game state's current character is
    // the active one.
    void OnPartyChanged() override;
    void OnInteractionChanged(cl_ItemAsset* /*object*/) override {}
    void OnItemSelected(cl_ItemAsset* /*item*/) override {}
    void OnActiveCharacterChanged(const std::string& characterId) override;

private:
    // The index of the character's portrait; the number of portraits when it has none.
    size_t IndexOf(const std::string& characterId) const;
    void AddPortrait(const std::string& characterId);
    void RemovePortrait(const std::string& characterId);
    void DestroyPortraits();

    Ogre::Overlay* m_overlay = nullptr;
    Ogre::OverlayContainer* m_container = nullptr;
    std::vector<PartyPortrait> m_portraits;
    std::string m_activeCharacter;
    bool m_shown = true;
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_width = 1.0f;
    float m_height = 0.125f;
};
