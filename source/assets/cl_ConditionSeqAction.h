#pragma once

#include "assets/cl_SeqAction.h"

// A branch point: finishes with success when its expression holds and with failure when not, so that
// "OnSuccess" and "OnFailed" triggers lead on from it. "ConditionAction" evaluates the expression through
// the state-chart binding on behalf of the sequence's owner; "TarqConditionAction" runs it in Lua.
class cl_ConditionSeqAction : public cl_SeqAction
{
public:
    // Reads the base's data, the attribute "condition" (the expression, apart from the base's condition
    // child) and, from "type", which of the two words built it.
    explicit cl_ConditionSeqAction(const TiXmlElement* element);

    // "ConditionAction" for both words.
    std::string GetTypeName() const override;
    // The base's attributes with the word that built it as "type", and the expression.
    void WriteXml(TiXmlElement& element) const override;

protected:
    // Reports started, then finishes with the expression's answer. An expression that cannot be evaluated
    // (no boolean result, or for a "ConditionAction" no owner) finishes with failure and an error line.
    void Start() override;

private:
    // The first boolean among the Lua results; false, logged, when there is none.
    bool EvaluateInLua() const;
    // Through the binding, with "this" the owner's asset id; false, logged, without an owner.
    bool EvaluateThroughOwner() const;

    std::string m_expression;
    bool m_evaluateInLua;
};
