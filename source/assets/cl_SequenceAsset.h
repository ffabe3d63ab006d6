#pragma once

#include "assets/cl_Asset.h"

class cl_AssetLogic;
class cl_ItemAsset;

// A sequence of actions played by the sequence player. This form holds what the pool reads besides the
// actions (the file's "hash" value) and what a start hands the player: who owns it, the interaction it
// shows, its caller text and whether it holds the foreground.
class cl_SequenceAsset : public cl_Asset
{
public:
    std::string GetType() const override;
    std::string GetThingType() const override;

    // The "hash" attribute read as a decimal integer; 0 when absent or not a number.
    int GetHash() const { return m_hash; }
    void SetHash(int hash) { m_hash = hash; }

    // The logic whose state chart started it (not owned); null when none.
    cl_AssetLogic* GetOwnerLogic() const { return m_ownerLogic; }
    void SetOwnerLogic(cl_AssetLogic* logic) { m_ownerLogic = logic; }
    // The item used and the object it is used on in the interaction shown; null when none (not owned).
    cl_ItemAsset* GetInteractionItem() const { return m_interactionItem; }
    cl_ItemAsset* GetInteractionTarget() const { return m_interactionTarget; }
    void SetInteraction(cl_ItemAsset* item, cl_ItemAsset* target)
    {
        m_interactionItem = item;
        m_interactionTarget = target;
    }
    // Who asked for it, as a word ("none" for a start by command).
    const std::string& GetCaller() const { return m_caller; }
    void SetCaller(const std::string& caller) { m_caller = caller; }
    bool IsForeground() const { return m_foreground; }
    void SetForeground(bool foreground) { m_foreground = foreground; }

private:
    int m_hash = 0;
    cl_AssetLogic* m_ownerLogic = nullptr;
    cl_ItemAsset* m_interactionItem = nullptr;
    cl_ItemAsset* m_interactionTarget = nullptr;
    std::string m_caller;
    bool m_foreground = false;
};
