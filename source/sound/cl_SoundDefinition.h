#pragma once

#include <map>
#include <string>
#include <vector>

class TiXmlElement;

// One sound of "sounds.xml": its files (folders separated by '\'), its parameters, its own name (the last
// part of its id), how often it repeats (-1 for ever) and whether it is streamed. Copied by value.
class cl_SoundDefinition
{
public:
    // Reads a `sound` element: attributes "id", "src" (the first file), "loopcount" ("true" is -1, else
    // atoi with 0 read as 1) and "streamed" ("true"), then the `src` children in order and the `param`
    // children (attribute "name", the text as value; a later one replaces an earlier). A `src` or `param`
    // without text and a `param` without a name are passed over with a warning.
    static cl_SoundDefinition FromXml(const TiXmlElement& element);

    std::vector<std::string> m_files;
    std::map<std::string, std::string> m_params;
    std::string m_id;
    int m_loopCount = 0;
    bool m_streamed = false;
};
