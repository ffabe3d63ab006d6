#include "common/cl_Localizer.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"

#include <OgreDataStream.h>
#include <tinyxml.h>

#include <vector>

namespace
{
// Splits at '\n'; a '\r' ending a line goes too, so files written on Windows read the same.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// Blanks as OGRE's line reading trims them.
std::string Trim(const std::string& text)
{
    static const char* const blanks = " \t\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// One token-file line into its fields. The quote handling is the file format's own and is kept as the
// files were written for it: a ';' inside quotes is dropped, and a text after a closing quote is still
// inside the quotes, so a ';' there is dropped too.
std::vector<std::string> SplitTokenFileLine(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    bool inQuotes = false;
    bool afterQuote = false;
    for (const char character : line)
    {
        if (character == ';')
        {
            if (!inQuotes || afterQuote)
            {
                fields.push_back(field);
                field.clear();
                inQuotes = false;
            }
            afterQuote = false;
        }
        else if (character == '"')
        {
            if (!inQuotes)
            {
                inQuotes = true;
                afterQuote = true;
            }
            else if (afterQuote)
            {
                field += '"';
                afterQuote = false;
            }
            else
            {
                afterQuote = true;
            }
        }
        else
        {
            field += character;
            afterQuote = false;
        }
    }
    fields.push_back(field);
    return fields;
}

// The text of a child element, "" when the child or its text is missing.
std::string ChildText(const TiXmlElement& element, const char* name)
{
    const TiXmlElement* child = element.FirstChildElement(name);
    const char* text = child ? child->GetText() : nullptr;
    return text ? text : "";
}

void SetUnlessEmpty(std::string& value, const std::string& text)
{
    if (!text.empty())
        value = text;
}

// "1 hour", "2 minutes": count and the token text for one or many; "" for a count of 0.
std::string CountPart(const cl_Localizer& localizer, int count, const char* one, const char* many)
{
    if (count <= 0)
        return std::string();
    return Format("%i %s", count, localizer.FindToken(count == 1 ? one : many).c_str());
}
} // namespace

void cl_Localizer::ParseElement(const TiXmlElement* element, const std::string&, bool skip)
{
    if (skip || !element)
        return;
    for (const std::string& line : SplitLines(ChildText(*element, "tokens")))
    {
        std::string text;
        const std::string name = SplitAtFirst(Trim(line), "|", text);
        if (!name.empty())
            m_tokens[name] = text;
    }
    SetUnlessEmpty(m_dateFormat, ChildText(*element, "dateformat"));
    SetUnlessEmpty(m_timeFormat, ChildText(*element, "timeformat"));
    SetUnlessEmpty(m_dateTimeFormat, ChildText(*element, "datetimeformat"));
}

void cl_Localizer::UnloadGroup(const std::string&) {}

void cl_Localizer::LoadTokens(Ogre::DataStream& stream)
{
    std::string content = stream.getAsString();
    // Editors on Windows start UTF-8 files with a byte-order mark; it is no part of the first name.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0)
        content.erase(0, 3);

    const std::vector<std::string> lines = SplitLines(content);
    for (size_t index = 0; index < lines.size(); ++index)
    {
        const std::vector<std::string> fields = SplitTokenFileLine(lines[index]);
        if (fields.size() >= 2)
            m_tokens[fields[0]] = fields[1];
        else if (!fields[0].empty())
            LOG_WARNING("Token file '%s' line %i has no text field, passed over", stream.getName().c_str(),
                        static_cast<int>(index + 1));
    }
}

std::string cl_Localizer::FindToken(const std::string& name) const
{
    const auto found = m_tokens.find(name);
    return found != m_tokens.end() ? found->second : name;
}

std::string cl_Localizer::GetText(const std::string& text) const
{
    std::string result;
    size_t start = 0;
    for (;;)
    {
        const size_t open = text.find('$', start);
        if (open == std::string::npos)
            break;
        const size_t close = text.find('$', open + 1);
        if (close == std::string::npos)
            break;
        result.append(text, start, open - start);
        result += FindToken(text.substr(open + 1, close - open - 1));
        start = close + 1;
    }
    result.append(text, start, std::string::npos);
    return result;
}

std::string cl_Localizer::FormatDate(const platform::LocalTime& date, const std::string& format) const
{
    std::string result = format;
    ReplaceAll(result, "YYYY", Format("%i", date.year));
    ReplaceAll(result, "YY", Format("%02i", date.year % 100));
    ReplaceAll(result, "MM", Format("%02i", date.month));
    ReplaceAll(result, "M", Format("%i", date.month));
    ReplaceAll(result, "DD", Format("%02i", date.day));
    ReplaceAll(result, "D", Format("%i", date.day));
    return result;
}

std::string cl_Localizer::FormatTime(const platform::LocalTime& date, const std::string& format) const
{
    const int hour12 = date.hour % 12 == 0 ? 12 : date.hour % 12;
    std::string result = format;
    ReplaceAll(result, "HH", Format("%02i", date.hour));
    ReplaceAll(result, "hh", Format("%02i", hour12));
    ReplaceAll(result, "H", Format("%i", date.hour));
    ReplaceAll(result, "h", Format("%i", hour12));
    ReplaceAll(result, "MM", Format("%02i", date.minute));
    ReplaceAll(result, "M", Format("%i", date.minute));
    ReplaceAll(result, "A", date.hour < 12 ? "am" : "pm");
    return result;
}

std::string cl_Localizer::FormatDateTime(const platform::LocalTime& date) const
{
    std::string result = m_dateTimeFormat;
    ReplaceAll(result, "date", FormatDate(date, m_dateFormat));
    ReplaceAll(result, "time", FormatTime(date, m_timeFormat));
    return result;
}

std::string cl_Localizer::FormatDuration(int seconds) const
{
    const int minutesInAll = seconds / 60;
    const int hours = minutesInAll / 60;
    const int minutes = minutesInAll - hours * 60;

    std::string result = CountPart(*this, hours, "_hour", "_hours");
    const std::string minutesPart = CountPart(*this, minutes, "_minute", "_minutes");
    if (!minutesPart.empty())
    {
        if (!result.empty())
            result += ", ";
        result += minutesPart;
    }
    return result;
}
