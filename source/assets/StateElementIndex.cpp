#include "assets/StateElementIndex.h"

#include <tinyxml.h>

TiXmlElement* StateElementIndex::Find(TiXmlElement* list, const char* kind, const std::string& id)
{
    if (!list)
        return nullptr;
    if (list != m_list || list->LastChild() != m_last)
        Build(*list, kind);
    const auto found = m_elements.find(id);
    return found != m_elements.end() ? found->second : nullptr;
}

void StateElementIndex::Appended(TiXmlElement* element, const std::string& id)
{
    if (!m_list || element->Parent() != m_list)
        return;
    m_elements.emplace(id, element);
    m_last = element;
}

void StateElementIndex::Clear()
{
    m_list = nullptr;
    m_last = nullptr;
    m_elements.clear();
}

void StateElementIndex::Build(TiXmlElement& list, const char* kind)
{
    m_elements.clear();
    for (TiXmlElement* state = list.FirstChildElement(kind); state; state = state->NextSiblingElement(kind))
    {
        // The first element with an idref wins, as a walk of the list would find it.
        if (const std::string* idref = state->Attribute(std::string("idref")))
            m_elements.emplace(*idref, state);
    }
    m_list = &list;
    m_last = list.LastChild();
}
