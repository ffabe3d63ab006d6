#pragma once

#include "assets/cl_Asset.h"

#include <string>

class TiXmlElement;

// A thing in the world the player can point at, examine, take, use or combine (and, as cl_CharacterAsset,
// every character). Its pool file carries no type data: everything that changes in play lives in its
// `item` element of the game state (found by "idref"), which BindState looks up. Until it is bound (and
// after a null game state unbinds it) the readers find nothing and the writers do nothing.
//
// The state element: "interactionflags" (decimal; bit 16 blocks interaction, bit 17 also the mouse-over
// text), "interactionmode", "mouseoverref", "nameref", "visualisation", "currentscene", `interaction`
// children (mode, sequenceref; for mode "used_by" also item and condition) and `interactmouseover` children
// (itemref, optional condition, textref). A condition names a state of this item's logic: it holds while
// the logic is in that state, never without a logic.
class cl_ItemAsset : public cl_Asset
{
public:
    // Bit 16 of the interaction flags: no interaction. Bit 17: no interaction and no mouse-over text.
    static constexpr int NO_INTERACTION = 0x10000;
    static constexpr int NO_INTERACTION_NO_TEXT = 0x20000;

    std::string GetType() const override;
    std::string GetThingType() const override;
    // Looks up the item's state element (created, with an error log for ids beginning with "items", when
    // the tree lacks it), then binds the logic. A null game state unbinds.
    void BindState(cl_GameState* gameState) override;

    // The text id to show while the mouse is over the item, heldItem being on the pointer (may be null).
    // Empty with bit 17 set; empty when a held item is not one the logic accepts. Missing mouse-over data
    // is logged as corrupt state and gives the empty id.
    virtual std::string GetCurrentMouseOverTextId(const cl_Asset* heldItem) const;
    // The "sequenceref" of the first `interaction` of that mode; "none" when there is none.
    virtual std::string GetInteractionSequence(const std::string& mode) const;

    // Empty when the attribute is absent (an absent mode allows interaction).
    std::string GetInteractionMode() const;
    void SetInteractionMode(const std::string& mode);
    // The "interactionflags" as a decimal integer; 0 when absent or not a number.
    int GetInteractionFlags() const;
    void SetInteractionFlags(int flags);
    // False when bit 16 or 17 of the flags is set, else whether the mode is other than "none".
    bool AllowsInteraction() const;

    // Readers give the empty string when the attribute is absent.
    std::string GetVisualisation() const;
    void SetVisualisation(const std::string& visualisation);
    std::string GetCurrentScene() const;
    void SetCurrentScene(const std::string& sceneId);
    void SetNameRef(const std::string& textId);

    // Sets the sequence of the first `interaction` of the mode, or appends an `interaction` with both.
    void SetInteractionSequence(const std::string& mode, const std::string& sequenceId);
    // The sequence started when usedItem is used on this item: the first "used_by" entry for it whose
    // condition holds, else the last one for it without a condition; empty when none fits (or no item).
    std::string GetUsedBySequence(const cl_Asset* usedItem) const;
    // Sets the sequence of the "used_by" entry for that item with exactly that condition (an absent one
    // counts as empty), or appends such an entry, its condition always written.
    void SetUsedByInteractionSequence(const std::string& usedItemId, const std::string& sequenceId,
                                      const std::string& condition);
    // Without a held item id, "mouseoverref" becomes the text id ("none" for an empty one). With one, the
    // `interactmouseover` entry for that item with that condition (no condition attribute for an empty
    // condition) gets the text id, or a new entry is appended. Only the entry without condition turns an
    // empty text id into "none".
    void SetCurrentMouseOverText(const std::string& textId, const std::string& heldItemId,
                                 const std::string& condition);

private:
    // Whether the item's logic is in the state the condition names; false without a logic.
    bool ConditionHolds(const std::string& condition) const;
    std::string ReadState(const char* attribute) const;
    void WriteState(const char* attribute, const std::string& value);

    TiXmlElement* m_state = nullptr;
};
