#include "assets/cl_TextPool.h"

#include "assets/MakeAsset.h"
#include "assets/cl_TextAsset.h"
#include "common/cl_Localizer.h"

#include <tinyxml.h>

cl_TextPool::cl_TextPool() : cl_AssetPool("texts") {}

cl_TextPool::cl_TextPool(const std::string& name) : cl_AssetPool(name) {}

std::unique_ptr<cl_Asset> cl_TextPool::CreateAsset(const TiXmlElement* element)
{
    return MakeAsset<cl_TextAsset>(*this, element);
}

void cl_TextPool::UpdateAsset(cl_Asset& asset, const TiXmlElement& element)
{
    auto* text = dynamic_cast<cl_TextAsset*>(&asset);
    if (!text)
        return;
    const TiXmlElement* content = element.FirstChildElement("content");
    const char* value = content ? content->GetText() : nullptr;
    text->SetContent(value ? value : "");
}

std::string cl_TextPool::GetText(const std::string& id) const
{
    const cl_Localizer* localizer = cl_Localizer::GetInstance();
    const std::string token = localizer ? localizer->FindToken(id) : id;
    if (token != id)
        return token;
    const auto* text = dynamic_cast<const cl_TextAsset*>(FindAsset(id));
    return text ? text->GetContent() : std::string();
}
