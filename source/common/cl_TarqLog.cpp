#include "common/cl_TarqLog.h"

#include "common/cl_Localizer.h"

#include <OgreLogManager.h>
#include <tinyxml.h>

namespace
{
// Bounds what waits for OGRE's log, should OGRE never start.
const size_t MAX_PENDING_LINES = 1000;
} // namespace

cl_TarqLog::cl_TarqLog() : m_clock([] { return 0u; }) {}

bool cl_TarqLog::Log(const std::string& text, int level)
{
    const uint32_t bits = static_cast<uint32_t>(level);
    if ((m_mask & bits) != bits)
        return false;
    if (m_recording)
        m_records.push_back(Record{m_clock(), level, text});
    // A listener may remove itself while it is told.
    const std::set<ILogListener*> listeners = m_listeners;
    for (ILogListener* listener : listeners)
        listener->OnLog(text, level);
    if (GoesToOgre(level) && !WriteToOgre(text, level) && m_pendingForOgre.size() < MAX_PENDING_LINES)
        m_pendingForOgre.push_back(Record{0, level, text});
    return true;
}

bool cl_TarqLog::GoesToOgre(int level) const
{
    const uint32_t severities = LEVEL_ERROR | LEVEL_WARNING | LEVEL_INFO;
    return m_ogreOutputMask == 0xFFFFFFFFu ||
           (static_cast<uint32_t>(level) & severities & m_ogreOutputMask) != 0;
}

void cl_TarqLog::WritePendingToOgre()
{
    while (!m_pendingForOgre.empty() &&
           WriteToOgre(m_pendingForOgre.front().text, m_pendingForOgre.front().level))
        m_pendingForOgre.pop_front();
}

bool cl_TarqLog::WriteToOgre(const std::string& text, int level) const
{
    Ogre::LogManager* manager = Ogre::LogManager::getSingletonPtr();
    if (!manager || !manager->getDefaultLog())
        return false;
    const char* prefix = ">>> ";
    Ogre::LogMessageLevel messageLevel = Ogre::LML_NORMAL;
    if (level & LEVEL_INFO)
        prefix = ">>> ";
    else if (level & LEVEL_WARNING)
        prefix = ">>> WARNING:";
    else if (level & LEVEL_ERROR)
    {
        prefix = ">>> ERROR:";
        messageLevel = Ogre::LML_CRITICAL;
    }
    manager->logMessage(prefix + text, messageLevel, false);
    return true;
}

void cl_TarqLog::ClearRecord()
{
    m_records.clear();
}

void cl_TarqLog::ExportXml(TiXmlElement& element, int mask) const
{
    const uint32_t allowed = static_cast<uint32_t>(mask);
    const cl_Localizer* localizer = cl_Localizer::GetInstance();
    for (const Record& record : m_records)
    {
        if ((static_cast<uint32_t>(record.level) & ~allowed) != 0)
            continue;
        TiXmlElement entry("entry");
        const uint32_t seconds = record.time / 1000;
        entry.SetAttribute("time", localizer ? localizer->FormatDuration(static_cast<int>(seconds))
                                             : std::to_string(seconds));
        entry.InsertEndChild(TiXmlText(record.text));
        element.InsertEndChild(entry);
    }
}
