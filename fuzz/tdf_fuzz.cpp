// Feeds bytes to the data-file loader as a ".tdf" file, with the chapter records, the localizer and a few
// noting parsers taking the elements. Whatever the bytes, every chapter read must be one the loader lists,
// and each of its paths must use '/' only.
#include "common/ITarqdataParser.h"
#include "common/cl_Localizer.h"
#include "common/cl_TarqdataLoader.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
// Reads what a parser of that element would: its attributes and the text of its children.
class NotingParser : public ITarqdataParser
{
public:
    void ParseElement(const TiXmlElement* element, const std::string&, bool) override
    {
        for (const TiXmlAttribute* attribute = element->FirstAttribute(); attribute;
             attribute = attribute->Next())
            m_seen += attribute->ValueStr().size();
        for (const TiXmlElement* child = element->FirstChildElement(); child;
             child = child->NextSiblingElement())
            m_seen += child->GetText() ? 1 : 0;
    }
    void UnloadGroup(const std::string&) override {}

    size_t m_seen = 0;
};

struct Loader
{
    Loader()
    {
        for (const char* name : {"scene", "item", "character", "minigame"})
            loader.RegisterParser(name, &noting);
    }

    cl_TarqdataLoader loader;
    cl_Localizer localizer;
    NotingParser noting;
};

void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "tdf_fuzz: %s\n", what);
        std::abort();
    }
}

void RequireForwardSlashes(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        Require(path.find('\\') == std::string::npos, "a chapter path kept a backslash");
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Loader loader;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Require(loader.loader.ParseTdf("CHAPTERDATA", text, "fuzz.tdf", false), "ParseTdf answered false");

    std::vector<std::string> ids;
    loader.loader.GetChapterIds(ids);
    for (const std::string& id : ids)
    {
        Require(!id.empty(), "a chapter without id was kept");
        const cl_Chapter& chapter = loader.loader.GetChapter(id);
        RequireForwardSlashes({chapter.m_pimbData});
        RequireForwardSlashes(chapter.m_resourceLocations);
        RequireForwardSlashes(chapter.m_resourceLocationsZip);
        RequireForwardSlashes(chapter.m_speechLocations);
        RequireForwardSlashes(chapter.m_speechLocationsZip);
        RequireForwardSlashes(chapter.m_languageFiles);
        RequireForwardSlashes(chapter.m_leafIdFiles);
    }
    return 0;
}
