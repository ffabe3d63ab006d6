#include "support/ActionProbe.h"

#include "assets/cl_SeqAction.h"
#include "assets/cl_SequencePool.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

ActionProbe::ActionProbe(const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    const TiXmlElement* element = document.RootElement();
    EXPECT_NE(element, nullptr) << xml;
    if (element)
        m_action = cl_SequencePool::ActionFromNode(*element);
    EXPECT_NE(m_action, nullptr) << xml;
    if (m_action)
        m_action->AddListener(this);
}

ActionProbe::~ActionProbe() = default;

void ActionProbe::Start()
{
    if (m_action)
        m_action->Activate();
}

void ActionProbe::Frames(int count, float dt)
{
    for (int frame = 0; frame < count && m_action; ++frame)
        m_action->Update(dt);
}

std::string ActionProbe::Written() const
{
    TiXmlElement element("action");
    if (m_action)
        m_action->WriteXml(element);
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    element.Accept(&printer);
    return printer.CStr();
}

bool ActionProbe::IsDone() const
{
    return m_action && m_action->IsDone();
}
