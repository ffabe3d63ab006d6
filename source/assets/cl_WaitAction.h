#pragma once

#include "assets/cl_SeqAction.h"

// Holds the chain: runs at least "duration" seconds and then until its Lua condition (the text content;
// empty holds) is true, tested once per update. It has no time-out and ignores a skip.
class cl_WaitAction : public cl_SeqAction
{
public:
    // Reads the base's data, "duration" (seconds; 0 when absent or no number) and the condition.
    explicit cl_WaitAction(const TiXmlElement* element);

    // Counts the time down and finishes once it is used up and the condition holds.
    void Update(float dt) override;
    // A wait cannot be skipped.
    void Skip() override;
    std::string GetTypeName() const override;
    // The base's attributes, "duration" and the condition as text when there is one.
    void WriteXml(TiXmlElement& element) const override;

protected:
    // Reports started; finishes at once when the duration is 0 or less and the condition holds.
    void Start() override;

private:
    // Finishes when the time is used up and the condition holds.
    void FinishWhenDue();

    float m_duration = 0.0f;
    float m_remaining = 0.0f;
    std::string m_waitCondition;
};
