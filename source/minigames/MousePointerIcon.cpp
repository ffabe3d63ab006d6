#include "minigames/MousePointerIcon.h"

#include "graphics/cl_ItemManager.h"

std::string GetMousePointerIconMaterial(const std::string& itemId)
{
    return cl_ItemManager::CreateIconMaterial(itemId, "mpt");
}
