#pragma once

#include "ISingleton.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "platform/LocalTime.h"

#include <map>
#include <string>

namespace Ogre
{
class DataStream;
}

// The texts of the current language as tokens (name to text), the expansion of "$name$" references in
// texts shown to the player, and the language's date, time and duration formats. Texts are bytes (UTF-8 in
// the data); nothing here checks the encoding. Parser of the data-file element `language`, registered with
// the data-file loader while it lives.
class cl_Localizer : public ISingleton<cl_Localizer>, public ITarqdataParser
{
public:
    cl_Localizer() = default;

    // `language`: a `tokens` text of "name|text" lines, `dateformat`, `timeformat`, `datetimeformat`.
    // Missing or empty children leave what was there; a later token of the same name replaces the earlier.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    // Tokens stay for the whole run, whatever group they came from.
    void UnloadGroup(const std::string& group) override;

    // Reads every line of a token file: fields separated by ';', double quotes around a field, "" inside
    // quotes for one quote. Field 1 is the name, field 2 the text; lines with fewer fields are passed over.
    // Note the file format's quirk: a ';' inside quotes is dropped, not kept.
    void LoadTokens(Ogre::DataStream& stream);

    // The token's text, or the name itself when there is no such token.
    std::string FindToken(const std::string& name) const;
    // The text with every pair of '$' replaced by the token named between them (by that name, without the
    // '$', when there is no such token); an unpaired '$' stays. Token texts are put in as they are, not
    // expanded again, so a token that names itself cannot loop. Any "$...$" pair counts, also "$5 and $10".
    std::string GetText(const std::string& text) const;

    // format with YYYY YY MM M DD D replaced (longer placeholders first) by the record's date.
    std::string FormatDate(const platform::LocalTime& date, const std::string& format) const;
    // format with HH hh H h MM M A replaced (in that order) by the record's time; h is 1 to 12, A am/pm.
    std::string FormatTime(const platform::LocalTime& date, const std::string& format) const;
    // The date-time format with "date" and "time" replaced by the date and time in the language's formats.
    std::string FormatDateTime(const platform::LocalTime& date) const;
    // "2 <_hours>, 1 <_minute>" from the token texts; seconds are dropped, so under a minute gives "".
    std::string FormatDuration(int seconds) const;

private:
    std::map<std::string, std::string> m_tokens;
    std::string m_dateFormat = "YYYY-MM-DD";
    std::string m_timeFormat = "h:MM A";
    std::string m_dateTimeFormat = "date time";
    cl_ParserRegistration m_languageParser{"language", this};
};
