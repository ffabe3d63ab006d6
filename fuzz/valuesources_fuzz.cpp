// Feeds bytes to the value-source manager as a scene's `valuesources` element: loads it twice (so every
// source is replaced and its listeners told), runs a few frames, switches and sets each named source
// through the "valuemanager" commands, runs more frames and removes the element's sources again. Whatever
// the bytes, no source named by the element may be left after the removal.
#include "common/XmlParse.h"
#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_OgreGameTime.h"
#include "common/cl_ValueSourceManager.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "valuesources_fuzz: %s\n", what);
        std::abort();
    }
}

void Frames(cl_GameTime& time)
{
    for (float dt : {0.016f, 0.5f, 0.0f, 3.0f, 0.033f})
        time.Update(dt);
}

void Send(cl_CommandDistributor& distributor, const char* name, const std::string& source, bool flag)
{
    cl_Command cmd(name);
    cmd.m_arguments.GetArg(-1)->SetString(source);
    if (std::string(name) == "SetActive")
        cmd.m_arguments.GetArg(-1)->SetBool(flag);
    else
        cmd.m_arguments.GetArg(-1)->SetDouble(flag ? 0.5 : -2.0);
    distributor.SendCmd("valuemanager", cmd);
}

std::vector<std::string> FloatNames(const TiXmlElement* root)
{
    std::vector<std::string> names;
    for (const TiXmlElement* child = root ? root->FirstChildElement("float") : nullptr; child;
         child = child->NextSiblingElement("float"))
    {
        if (const std::string* name = child->Attribute(std::string("name")))
            names.push_back(*name);
    }
    return names;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    cl_CommandDistributor distributor;
    cl_OgreGameTime time(distributor);
    cl_ValueSourceManager manager(distributor, time);

    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* root = document.RootElement();
    manager.LoadFromXml(root);
    Frames(time);
    manager.LoadFromXml(root);
    Frames(time);

    const std::vector<std::string> names = FloatNames(root);
    for (const std::string& name : names)
    {
        Send(distributor, "SetActive", name, false);
        Send(distributor, "SetValue", name, false);
        cl_Command get("GetValue");
        get.m_arguments.GetArg(-1)->SetString(name);
        distributor.SendCmd("valuemanager", get);
        Require(get.m_results.GetSize() == 1, "GetValue answered no value");
    }
    Frames(time);
    for (const std::string& name : names)
        Send(distributor, "SetActive", name, true);
    Frames(time);

    manager.RemoveByXml(root);
    if (root && root->ValueStr() == "valuesources")
    {
        for (const std::string& name : names)
            Require(manager.GetFloatSource(name) == nullptr, "a removed source is still held");
    }
    return 0;
}
