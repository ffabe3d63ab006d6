#pragma once

#include <set>
#include <string>

class TiXmlElement;

// Holds the game's sound definitions from "sounds.xml" and names the sounds callers may play.
class cl_SoundPool
{
public:
    // Keeps the "id" of every `sound` child of the `sounds` element; empty ids are passed over.
    void DefineSounds(const TiXmlElement& sounds);
    bool HasSound(const std::string& id) const;

private:
    std::set<std::string> m_soundIds;
};
