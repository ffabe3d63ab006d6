#pragma once

#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/WeightedChoice.h"

#include <map>
#include <string>

class TiXmlElement;

// The animations a control picks from at random (the idles or the actions of one visual state), by
// animation path, with the sum of their frequencies. Entry has an int frequency and a bool repeatable.
template <class Entry> struct st_FrequencySet
{
    using Entries = std::map<std::string, Entry>;

    Entries entries;
    int totalFrequency = 0;

    // The entry of path, made with Entry's defaults when new, takes the element's "frequency" ("%d"; kept
    // when absent or no number) and "repeatable" (exactly "false" clears it).
    Entry& Read(const std::string& path, const TiXmlElement& element)
    {
        Entry& entry = entries[path];
        entry.frequency = IntegerAttribute(element, "frequency", entry.frequency);
        if (AttributeOrEmpty(element, "repeatable") == "false")
            entry.repeatable = false;
        return entry;
    }
    // Sums the frequencies, once all entries are read.
    void Total()
    {
        totalFrequency = 0;
        for (const auto& entry : entries)
            totalFrequency += entry.second.frequency;
    }
    // An entry drawn by frequency; entries.end() when none is taken. The total must be above 0.
    typename Entries::const_iterator Choose() const
    {
        return ChooseWeighted(entries.begin(), entries.end(), totalFrequency,
                              [](const auto& entry) { return entry.second.frequency; });
    }
};
