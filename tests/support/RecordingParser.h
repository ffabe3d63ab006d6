#pragma once

#include "common/ITarqdataParser.h"

#include <string>
#include <vector>

// A data-file parser that notes every element it is handed and every group it is told to forget.
class RecordingParser : public ITarqdataParser
{
public:
    struct Parsed
    {
        std::string element; // the element's name
        std::string name;    // its "name" attribute, "" without one
        std::string group;
        bool skip;
    };

    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    void UnloadGroup(const std::string& group) override;

    // The "name" attributes of the elements handed over, in order.
    std::vector<std::string> Names() const;

    std::vector<Parsed> m_parsed;
    std::vector<std::string> m_unloaded;
};
