#pragma once

#include "common/cl_Logger.h"

#include <cstdint>
#include <functional>
#include <list>

// The logger: filters by level mask, tells the listeners, keeps an optional record list and, while its
// OGRE output is on, writes the line to OGRE's log with a level prefix. Lines logged before OGRE's log
// exists wait for WritePendingToOgre, so a data author finds start-up problems in the log file too.
class cl_TarqLog : public cl_Logger
{
public:
    struct Record
    {
        uint32_t time; // milliseconds of the game clock
        int level;
        std::string text;
    };
    // The millisecond clock stamped on records.
    using Clock = std::function<uint32_t()>;

    cl_TarqLog();

    bool Log(const std::string& text, int level) override;
    void ClearRecord() override;
    // Each record whose level bits all lie in mask as an `entry` element with the record's text; its "time"
    // is the localizer's duration text of the record's time in whole seconds (the plain number of seconds
    // while there is no localizer).
    void ExportXml(TiXmlElement& element, int mask) const override;

    void SetMask(uint32_t mask) { m_mask = mask; }
    uint32_t GetMask() const { return m_mask; }
    void SetOgreOutput(bool enabled) { m_ogreOutputMask = enabled ? 0xFFFFFFFFu : 0u; }
    // Limits OGRE output to lines with one of these severity bits (errors and warnings, say).
    void SetOgreOutputMask(uint32_t severities) { m_ogreOutputMask = severities; }
    // Writes the lines kept while OGRE's log did not exist yet; call once OGRE's log is there.
    void WritePendingToOgre();
    void SetRecording(bool enabled) { m_recording = enabled; }
    const std::list<Record>& GetRecords() const { return m_records; }

    void SetClock(Clock clock) { m_clock = std::move(clock); }

private:
    bool GoesToOgre(int level) const;
    // False when OGRE's log does not exist.
    bool WriteToOgre(const std::string& text, int level) const;

    uint32_t m_mask = 0xFFFFFFFFu;
    uint32_t m_ogreOutputMask = 0xFFFFFFFFu;
    bool m_recording = false;
    std::list<Record> m_records;
    std::list<Record> m_pendingForOgre;
    Clock m_clock;
};
