#pragma once

#include "assets/cl_NonInstantSeqAction.h"

// The walk of a character ("movingchar") onto where an animation starts, exactly ("exactMatch", true
// unless exactly "false") or nearly. Keeps the foreground interruptible and ignores a skip; Stop ends
// only the character's action that still is this one's.
class cl_MoveToAnimoSeqAction : public cl_NonInstantSeqAction
{
public:
    // Reads "movingchar", "animationname" and "exactMatch".
    explicit cl_MoveToAnimoSeqAction(const TiXmlElement* element);

    std::string GetTypeName() const override { return "MoveToAnimoAction"; }
    void WriteXml(TiXmlElement& element) const override;
    void Skip() override {}
    void OnDone(int result) override;
    void Stop(bool aborted) override;

    bool IsExactMatch() const { return m_exactMatch; }

protected:
    // An unknown character is logged and the action finishes.
    void Start() override;

private:
    void LogFailure() const;

    std::string m_movingChar;
    std::string m_animation;
    bool m_exactMatch = true;
};
