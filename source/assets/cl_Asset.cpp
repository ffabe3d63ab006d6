#include "assets/cl_Asset.h"

#include "assets/cl_AssetLogic.h"
#include "common/StringHelpers.h"

#include <algorithm>

cl_Asset::cl_Asset() = default;

// The logic goes first: stopping its chart may still read the asset's id.
cl_Asset::~cl_Asset()
{
    m_logic.reset();
}

std::string cl_Asset::GetType() const
{
    return "asset";
}

void cl_Asset::SaveState(cl_GameState* /*gameState*/)
{
    if (m_logic)
        m_logic->SaveState();
}

void cl_Asset::BindState(cl_GameState* gameState)
{
    if (m_logic)
        m_logic->BindState(gameState);
}

void cl_Asset::RestoreState()
{
    if (m_logic)
        m_logic->Start();
}

void cl_Asset::StopLogic()
{
    if (m_logic)
        m_logic->Stop();
}

std::string cl_Asset::GetThingType() const
{
    return std::string();
}

std::string cl_Asset::GetThingText() const
{
    return std::string();
}

bool cl_Asset::IsThing() const
{
    return false;
}

void cl_Asset::SetId(const std::string& id)
{
    m_id = id;
    m_idArgument.SetString(id);
}

void cl_Asset::SetLogic(std::unique_ptr<cl_AssetLogic> logic)
{
    m_logic = std::move(logic);
}

void cl_Asset::AddTag(const std::string& tag)
{
    if (std::find(m_tags.begin(), m_tags.end(), tag) == m_tags.end())
        m_tags.push_back(tag);
}

bool cl_Asset::HasTags(const std::vector<std::string>& tags) const
{
    if (tags.empty())
        return false;
    return std::all_of(tags.begin(), tags.end(),
                       [this](const std::string& tag)
                       { return std::find(m_tags.begin(), m_tags.end(), tag) != m_tags.end(); });
}

std::vector<std::string> cl_Asset::SplitTags(const std::string& text)
{
    std::vector<std::string> tags;
    if (text.empty())
        return tags;
    std::string rest;
    std::string word = SplitAtFirst(text, " ", rest);
    while (!word.empty())
    {
        tags.push_back(word);
        word = SplitAtFirst(rest, " ", rest);
    }
    tags.push_back(rest);
    return tags;
}
