#include "support/TheoraLogCapture.h"

#include "platform/TheoraVideoManager.h"

#include <algorithm>

namespace
{
TheoraLogCapture* g_capture = nullptr;
} // namespace

TheoraLogCapture::TheoraLogCapture()
{
    g_capture = this;
    TheoraVideoManager::setLogFunction(&TheoraLogCapture::Record);
}

TheoraLogCapture::~TheoraLogCapture()
{
    TheoraVideoManager::setLogFunction(nullptr);
    g_capture = nullptr;
}

void TheoraLogCapture::Record(std::string line)
{
    if (!g_capture)
        return;
    g_capture->m_lines.push_back(std::move(line));
    g_capture->m_threads.push_back(std::this_thread::get_id());
}

bool TheoraLogCapture::Contains(const std::vector<std::string>& texts) const
{
    return std::any_of(m_lines.begin(), m_lines.end(),
                       [&texts](const std::string& line)
                       {
                           return std::all_of(texts.begin(), texts.end(),
                                              [&line](const std::string& text)
                                              { return line.find(text) != std::string::npos; });
                       });
}

void TheoraLogCapture::Clear()
{
    m_lines.clear();
    m_threads.clear();
}
