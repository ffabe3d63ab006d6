#include "support/LogCapture.h"

LogCapture::LogCapture()
{
    if (!cl_Logger::GetInstance())
        m_ownLogger = std::make_unique<cl_TarqLog>();
    cl_Logger::GetInstance()->AddListener(this);
}

LogCapture::~LogCapture()
{
    if (cl_Logger* logger = cl_Logger::GetInstance())
        logger->RemoveListener(this);
}

bool LogCapture::OnLog(const std::string& text, int level)
{
    m_lines.push_back(Line{text, level});
    return true;
}

bool LogCapture::Contains(const std::string& text, int level) const
{
    for (const Line& line : m_lines)
    {
        if ((level == 0 || line.level == level) && line.text.find(text) != std::string::npos)
            return true;
    }
    return false;
}

size_t LogCapture::Count(int level) const
{
    size_t count = 0;
    for (const Line& line : m_lines)
    {
        if ((line.level & level) == level)
            ++count;
    }
    return count;
}
