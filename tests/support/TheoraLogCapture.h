#pragma once

#include <string>
#include <thread>
#include <vector>

// Collects the video library's log lines while it lives (through TheoraVideoManager::setLogFunction), with
// the thread each came on; restores the default log function after.
class TheoraLogCapture
{
public:
    TheoraLogCapture();
    ~TheoraLogCapture();
    TheoraLogCapture(const TheoraLogCapture&) = delete;
    TheoraLogCapture& operator=(const TheoraLogCapture&) = delete;

    const std::vector<std::string>& Lines() const { return m_lines; }
    const std::vector<std::thread::id>& Threads() const { return m_threads; }
    // Whether some line contains all of the texts.
    bool Contains(const std::vector<std::string>& texts) const;
    void Clear();

private:
    static void Record(std::string line);

    std::vector<std::string> m_lines;
    std::vector<std::thread::id> m_threads;
};
