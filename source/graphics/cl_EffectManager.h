#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/cl_ReceiverRegistration.h"

namespace Ogre
{
class SceneManager;
}

class TiXmlElement;
class cl_SceneLoader;

// Owns the effects of the current scene: particles, light shafts, scene sounds, reflections, compositors.
class cl_EffectManager : public ISingleton<cl_EffectManager>, public ICommandReceiver
{
public:
    // Registers as the receiver "effectmanager" with distributor, which must outlive it.
    explicit cl_EffectManager(cl_CommandDistributor& distributor);

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Creates the effects of a scene's `effects` element in sceneManager, each only when loader's quality
    // test allows its id; UnloadEffects unloads and deletes those the element lists. Null does nothing.
    // No effect kind is made yet. Virtual so that tests can see when the scene loader calls.
    virtual void LoadEffects(const TiXmlElement* effects, const cl_SceneLoader& loader,
                             Ogre::SceneManager* sceneManager);
    virtual void UnloadEffects(const TiXmlElement* effects);

private:
    cl_ReceiverRegistration m_receiver;
};
