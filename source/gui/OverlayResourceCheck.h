#pragma once

#include <set>
#include <string>

// Asks whether a material or font exists before an overlay element is given it: OGRE throws for a name it
// does not know, and data may name one nobody made. Each missing name is logged once, with what wanted it,
// so that a pointer or text updated every frame does not fill the log.
class OverlayResourceCheck
{
public:
    // use: what wanted it, for the log line ("the pointer", "a hotspot marker").
    bool HasMaterial(const std::string& name, const char* use);
    bool HasFont(const std::string& name, const char* use);

private:
    bool Report(bool exists, const char* kind, const std::string& name, const char* use);

    std::set<std::string> m_reported;
};
