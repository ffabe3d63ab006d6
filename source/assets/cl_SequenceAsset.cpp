#include "assets/cl_SequenceAsset.h"

std::string cl_SequenceAsset::GetType() const
{
    return "sequence";
}

std::string cl_SequenceAsset::GetThingType() const
{
    return "sequence";
}
