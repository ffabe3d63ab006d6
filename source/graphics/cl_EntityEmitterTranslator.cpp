#include "graphics/cl_EntityEmitterTranslator.h"

#include "graphics/cl_EntityEmitter.h"
#include "platform/particles/ScriptTranslator.h"

using particles::ScriptTranslator;

bool cl_EntityEmitterTranslator::Translate(const particles::ScriptProperty& property,
                                           cl_EntityEmitter& emitter) const
{
    if (property.name == "entity_name")
    {
        std::string name;
        if (ScriptTranslator::getString(property, name))
            emitter.SetEntityName(name);
        else
            ScriptTranslator::logError(property, "'entity_name' takes one name.");
        return true;
    }
    if (property.name == "entity_distribution")
    {
        static const char* const WORDS[] = {"homogeneous", "heterogeneous_1", "heterogeneous_2", "vertex",
                                            "edge"};
        std::string word;
        ScriptTranslator::getString(property, word);
        for (int distribution = 0; distribution < 5; ++distribution)
        {
            if (word == WORDS[distribution])
            {
                emitter.SetDistribution(distribution);
                return true;
            }
        }
        ScriptTranslator::logError(property, "'entity_distribution' takes homogeneous, heterogeneous_1, "
                                             "heterogeneous_2, vertex or edge; the distribution stays.");
        return true;
    }
    if (property.name == "entity_scale")
    {
        Ogre::Vector3 scale;
        if (ScriptTranslator::getVector3(property, scale))
            emitter.SetScale(scale);
        else
            ScriptTranslator::logError(property, "'entity_scale' takes three numbers.");
        return true;
    }
    return false;
}
