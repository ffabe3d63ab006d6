#pragma once

#include "common/ILogListener.h"
#include "common/cl_TarqLog.h"

#include <memory>
#include <string>
#include <vector>

// Collects the log lines written while it lives; creates a logger for the test when none exists.
class LogCapture : public ILogListener
{
public:
    struct Line
    {
        std::string text;
        int level;
    };

    LogCapture();
    ~LogCapture() override;

    bool OnLog(const std::string& text, int level) override;

    const std::vector<Line>& Lines() const { return m_lines; }
    // Whether some line of exactly this level (or any level, with level 0) contains the text.
    bool Contains(const std::string& text, int level = 0) const;
    // How many lines have all bits of the level.
    size_t Count(int level) const;
    void Clear() { m_lines.clear(); }

private:
    std::unique_ptr<cl_TarqLog> m_ownLogger;
    std::vector<Line> m_lines;
};
