#include "support/PuppetXml.h"

#include "common/XmlParse.h"
#include "graphics/cl_Puppet.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

bool ReadPuppetXml(cl_Puppet& puppet, const std::string& text)
{
    TiXmlDocument document;
    ParseXml(document, text, "the puppet of a test");
    EXPECT_FALSE(document.Error()) << document.ErrorDesc() << "\n" << text;
    return puppet.FromXml(document.RootElement());
}
