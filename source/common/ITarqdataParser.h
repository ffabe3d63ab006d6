#pragma once

#include <string>

class TiXmlElement;

// A parser of one element kind of the ".tdf" data files. The data-file loader hands it every direct child of
// a file's `tarqdata` root whose name it registered for, and tells it when a resource group goes away.
class ITarqdataParser
{
public:
    virtual ~ITarqdataParser() = default;

    // element: the child element (may be null: then nothing happens); group: the OGRE resource group the
    // file belongs to; skip: when true the element is not read (the loader always passes false).
    // The element belongs to the caller's document and must not be kept.
    virtual void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) = 0;
    // Forget everything parsed from files of that resource group ("CHAPTERDATA", "SPEACHDATA", ...).
    virtual void UnloadGroup(const std::string& group) = 0;
};
