#include "support/VisualStatesText.h"

#include "graphics/cl_VisualStateHolder.h"

#include <tinyxml.h>

void ReadVisualStates(cl_VisualStateHolder& holder, const std::string& text)
{
    TiXmlDocument document;
    document.Parse(text.c_str());
    cl_VisualStateHolder::LoadVisualStatesFromXml(document.RootElement(), holder);
}
