#pragma once

#include "assets/cl_AssetPool.h"

#include <memory>
#include <vector>

class cl_BaseActionTrigger;
class cl_SeqAction;
class cl_SequenceAsset;

// The pool "sequences": turns each asset element into a cl_SequenceAsset with its actions (one per
// "action" child, made by its type word) and its triggers (those of the "tarqstructure" child; without
// one, the actions are chained in document order), and writes sequences back into elements. It also makes
// and owns the small sequences of interactions that have none of their own.
class cl_SequencePool : public cl_AssetPool
{
public:
    cl_SequencePool();
    ~cl_SequencePool() override;

    // WriteAsset, for a sequence.
    void UpdateElement(TiXmlElement& element, const cl_Asset& asset) const override;
    // A cl_SequenceAsset, built from the element when there is one.
    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override;
    // Rebuilds the sequence's actions and triggers (and "hash") from the element; asset must be a
    // cl_SequenceAsset (others are left alone). Bad data is logged with the sequence's id and left out:
    // an action of an unknown or missing type (the chain passes over it), a trigger input or output naming
    // no action (the trigger stays without it), a trigger of a missing or unknown type (silently).
    //
    // Implicit chaining: each action starts when the one before it is done or aborted, except that a
    // condition action guards exactly the one after it: success runs that one and then the next, failure
    // runs the next at once.
    void UpdateAsset(cl_Asset& asset, const TiXmlElement& element) override;

    // Writes the sequence into element: its "id", an empty "hash", its actions (each replacing the old
    // "action" elements of its id, appended at the end) and the "tarqstructure" with its start and its
    // triggers (replacing what the structure held). Nothing for a null sequence.
    void WriteAsset(TiXmlElement& element, const cl_SequenceAsset* sequence) const;

    // A new sequence for an interaction without a sequence of its own: the interaction alone, or the walk
    // to the interaction target and then the interaction. The pool owns it, outside its id index, until a
    // later call finds it stopped.
    cl_SequenceAsset* CreateInteractionSequence(bool walkFirst);

    // The action of the element's type word; null, with an error, for an unknown or missing word.
    static std::unique_ptr<cl_SeqAction> ActionFromNode(const TiXmlElement& element);

private:
    // The trigger of a "trigger" element, its inputs and outputs found among the sequence's actions; null
    // for a missing or unknown type.
    static std::unique_ptr<cl_BaseActionTrigger> TriggerFromNode(const cl_SequenceAsset& sequence,
                                                                 const TiXmlElement& element);
    // The implicit chain of the sequence's action elements; true when an unknown action was met.
    static bool ReadActions(cl_SequenceAsset& sequence, const TiXmlElement& element, bool chained);

    std::vector<std::unique_ptr<cl_SequenceAsset>> m_transientSequences;
};
