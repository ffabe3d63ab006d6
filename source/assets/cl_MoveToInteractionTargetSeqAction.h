#pragma once

#include "assets/cl_BaseMoveToSeqAction.h"

// The walk to the object of its sequence's interaction: an item, a scene object, else the location the
// current scene records for it. No walk (a warning) without a target or for one in the inventory.
class cl_MoveToInteractionTargetSeqAction : public cl_BaseMoveToSeqAction
{
public:
    explicit cl_MoveToInteractionTargetSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "MoveToInteractionTargetAction"; }

protected:
    void Start() override;
    void LogFailure() const override;
};
