#include "assets/cl_SpokentextAsset.h"

#include "assets/cl_CharacterPool.h"
#include "assets/cl_PoolManager.h"

std::string cl_SpokentextAsset::GetType() const
{
    return "spokentext";
}

std::string cl_SpokentextAsset::GetThingType() const
{
    return "spokentext";
}

std::string cl_SpokentextAsset::GetThingText() const
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const cl_Asset* speaker = pools ? pools->GetCharacterPool()->FindAsset(m_speakerRef) : nullptr;
    const std::string speakerName =
        speaker && !speaker->GetName().empty() ? speaker->GetName() : m_speakerRef;
    return CutThingText(speakerName + ": " + GetContent());
}
