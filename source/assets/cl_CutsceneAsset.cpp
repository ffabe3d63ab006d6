#include "assets/cl_CutsceneAsset.h"

std::string cl_CutsceneAsset::GetType() const
{
    return "cutscene";
}
