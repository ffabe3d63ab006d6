#pragma once

#include "ISingleton.h"
#include "common/ILogListener.h"

#include <set>
#include <string>

class TiXmlElement;

// The one logger of the program. Levels are bit sets: 1 error, 2 warning, 4 information, plus the topic
// bits 0x10 to 0x80 added to one of those.
class cl_Logger : public ISingleton<cl_Logger>
{
public:
    enum Level : int
    {
        LEVEL_ERROR = 0x1,
        LEVEL_WARNING = 0x2,
        LEVEL_INFO = 0x4,
        TOPIC_10 = 0x10,
        TOPIC_DIALOG = 0x20,
        TOPIC_CHARACTER = 0x40,
        TOPIC_PUPPETCONTROL = 0x80,
    };

    // Writes the line unless a bit of level is disabled; returns whether it was written.
    virtual bool Log(const std::string& text, int level) = 0;
    virtual void ClearRecord() = 0;
    // Appends an `entry` element for every recorded line whose level bits all lie in mask.
    virtual void ExportXml(TiXmlElement& element, int mask) const = 0;

    // Listeners are not owned; each must remove itself before it is destroyed.
    void AddListener(ILogListener* listener) { m_listeners.insert(listener); }
    void RemoveListener(ILogListener* listener) { m_listeners.erase(listener); }

protected:
    std::set<ILogListener*> m_listeners;
};
