#include "common/cl_ParserRegistration.h"

#include "common/cl_TarqdataLoader.h"

cl_ParserRegistration::cl_ParserRegistration(const std::string& elementName, ITarqdataParser* parser)
    : m_elementName(elementName), m_parser(parser)
{
    if (cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance())
        loader->RegisterParser(m_elementName, m_parser);
}

cl_ParserRegistration::~cl_ParserRegistration()
{
    if (cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance())
        loader->UnregisterParser(m_elementName, m_parser);
}
