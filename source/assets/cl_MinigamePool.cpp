#include "assets/cl_MinigamePool.h"

#include "assets/MakeAsset.h"
#include "assets/cl_MinigameAsset.h"

#include <tinyxml.h>

cl_MinigamePool::cl_MinigamePool() : cl_AssetPool("minigames") {}

std::unique_ptr<cl_Asset> cl_MinigamePool::CreateAsset(const TiXmlElement* element)
{
    return MakeAsset<cl_MinigameAsset>(*this, element);
}

void cl_MinigamePool::UpdateAsset(cl_Asset& asset, const TiXmlElement& element)
{
    auto* minigame = dynamic_cast<cl_MinigameAsset*>(&asset);
    if (!minigame)
        return;
    minigame->ClearPossibleEvents();
    for (const TiXmlElement* event = element.FirstChildElement("possibleevent"); event;
         event = event->NextSiblingElement("possibleevent"))
    {
        const char* word = event->GetText();
        minigame->AddPossibleEvent(word ? word : "");
    }
}
