#include "support/SequenceStandIns.h"

#include "assets/ISyncedActionInitiator.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "common/XmlParse.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

namespace
{
std::unique_ptr<TiXmlElement> ActionElement(const std::string& id, const std::string& syncGroup = "")
{
    auto element = std::make_unique<TiXmlElement>("action");
    element->SetAttribute("id", id);
    if (!syncGroup.empty())
        element->SetAttribute("syncgroup", syncGroup);
    return element;
}

// Starts of depth actions under way.
int g_depth = 0;
} // namespace

std::unique_ptr<cl_SequenceAsset> ReadSequence(cl_SequencePool& pool, const std::string& xml)
{
    TiXmlDocument document;
    ParseXml(document, xml, "sequence fixture");
    const TiXmlElement* element = document.RootElement();
    EXPECT_NE(element, nullptr) << xml;
    std::unique_ptr<cl_Asset> asset = pool.CreateAsset(element);
    return std::unique_ptr<cl_SequenceAsset>(static_cast<cl_SequenceAsset*>(asset.release()));
}

DrivenAction::DrivenAction(const std::string& id) : cl_SeqAction(ActionElement(id).get()) {}

DepthAction::DepthAction(const std::string& id, std::vector<std::string>& trace)
    : cl_SeqAction(ActionElement(id).get()), m_trace(trace)
{
}

void DepthAction::Start()
{
    ++g_depth;
    m_trace.push_back(GetId() + "@" + std::to_string(g_depth));
    NotifyStarted();
    Finish(true);
    --g_depth;
}

void StandInExecutor::Begin(size_t index)
{
    initiators.at(index)->OnStarted();
}

void StandInExecutor::End(size_t index, int result)
{
    initiators.at(index)->OnDone(result);
}

ExecutedAction::ExecutedAction(const std::string& id, const std::string& syncGroup, StandInExecutor& executor)
    : cl_NonInstantSeqAction(ActionElement(id, syncGroup).get()), m_executor(executor)
{
}

void ExecutedAction::OnDone(int result)
{
    Finish(result != RESULT_FAILED);
}

void ExecutedAction::Start()
{
    m_executor.Take(this);
}
