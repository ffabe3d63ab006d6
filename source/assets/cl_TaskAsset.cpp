#include "assets/cl_TaskAsset.h"

std::string cl_TaskAsset::GetType() const
{
    return "task";
}
