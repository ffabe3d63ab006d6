#include "graphics/cl_EffectStateActivator.h"

#include "common/LogCall.h"
#include "graphics/cl_EffectManager.h"

bool cl_EffectStateActivator::Apply(cl_VisualStateHolder&, const st_ElementSwitch& entry)
{
    const cl_EffectManager* effects = cl_EffectManager::GetInstance();
    cl_BaseEffect* effect = effects ? effects->FindEffect(entry.name) : nullptr;
    if (!effect)
    {
        LOG_ERROR("The Effect with the id '%s' could not be found!", entry.name.c_str());
        return false;
    }
    effect->SetActive(entry.flag);
    return true;
}
