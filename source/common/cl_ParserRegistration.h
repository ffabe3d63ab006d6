#pragma once

#include <string>

class ITarqdataParser;

// Keeps a data-file parser registered with the data-file loader under one element name for as long as
// this lives. A parser holds one per element name as a member, so it registers in its constructor and
// unregisters in its destructor.
class cl_ParserRegistration
{
public:
    // Without a data-file loader (it is made before every parser) there is nothing to register with.
    cl_ParserRegistration(const std::string& elementName, ITarqdataParser* parser);
    // Removes the entry only while it still names this parser; a loader already gone is left alone.
    ~cl_ParserRegistration();
    cl_ParserRegistration(const cl_ParserRegistration&) = delete;
    cl_ParserRegistration& operator=(const cl_ParserRegistration&) = delete;

private:
    std::string m_elementName;
    ITarqdataParser* m_parser;
};
