#pragma once

#include "assets/cl_SeqAction.h"

// Runs its Lua text: on behalf of the sequence's owner ("this" its asset id) when the sequence has one;
// without an owner only when built from "TarqScriptAction".
class cl_ScriptSeqAction : public cl_SeqAction
{
public:
    // Reads the base's data, the text content as the script and, from "type", which word built it.
    explicit cl_ScriptSeqAction(const TiXmlElement* element);

    // "ScriptAction" for both words.
    std::string GetTypeName() const override;
    // The base's attributes with the word that built it as "type", and the script as text.
    void WriteXml(TiXmlElement& element) const override;

protected:
    // Reports started, runs the script (a "ScriptAction" without owner logs an error instead), then
    // finishes with success; Lua errors are the script system's to log.
    void Start() override;

private:
    std::string m_script;
    bool m_tarq;
};
