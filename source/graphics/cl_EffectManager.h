#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/cl_BaseEffect.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

class CommandArguments;
class TiXmlElement;

namespace Ogre
{
class SceneManager;
}

// Owns the effects of the current scene: particles, light shafts, scene sounds, reflections, refractions,
// compositors. It makes them from the scene's `effects` element, updates them every frame in the game
// time's group "fx" (in ascending byte order of their ids), switches them and passes them parameters for
// the commands of the receiver "effectmanager", and destroys them when the scene is unloaded.
class cl_EffectManager : public ISingleton<cl_EffectManager>,
                         public ICommandReceiver,
                         public IGameTimeListener
{
public:
    // Whether an effect id may be loaded at the current quality level: the scene loader's quality test.
    using QualityTest = std::function<bool(const std::string& id)>;

    // Registers as the receiver "effectmanager" with distributor, which must outlive it, then with the
    // game time (when there is one) in the group "fx" with priority 0.
    explicit cl_EffectManager(cl_CommandDistributor& distributor);
    // Effects still listed are unloaded and deleted with it.
    ~cl_EffectManager() override;

    // Loads every `effect` child, in document order, whose id the quality test allows. sceneManager: the
    // scene's. A null element does nothing. Virtual, as UnloadEffects, so that tests can see when the
    // scene loader calls.
    virtual void LoadEffects(const TiXmlElement* effects, const QualityTest& isAllowedByQuality,
                             Ogre::SceneManager* sceneManager);
    // Makes the effect of the element's `type` under its `id` (both required and not empty; an element
    // without them, or of a type no effect has, is skipped without a message), lets it read the element
    // and applies `enabled`: absent or exactly "true" active, anything else inactive. An effect listed
    // under the id already is unloaded and deleted first (logged).
    void LoadEffect(const TiXmlElement* effect, Ogre::SceneManager* sceneManager);
    // The effect of the type word: "particle", "sound", "lightshaft", "reflection", "refraction" (active)
    // and "compositor" (inactive); null for any other word.
    static std::unique_ptr<cl_BaseEffect> CreateEffect(const std::string& type, const std::string& id);
    // Unloads and deletes the effect of every `effect` child's id; ids not listed are skipped. A null
    // element does nothing.
    virtual void UnloadEffects(const TiXmlElement* effects);
    void UnloadEffect(const TiXmlElement* effect);
    // Null for an id no effect has.
    cl_BaseEffect* FindEffect(const std::string& id) const;
    // Every effect: a scene change has begun, the curtain black in fadeTime seconds.
    void NotifySceneLeave(float fadeTime);
    // Every effect's Update.
    void Update(float dt) override;

    // The commands of COMMANDS below. Answers false for every command.
    bool ExecuteCmd(cl_Command& cmd) override;

    struct CommandEntry
    {
        const char* name;
        // The arguments it reads, named as CommandArguments reads a table.
        const char* arguments;
        void (cl_EffectManager::*run)(const CommandArguments& args);
    };
    static const CommandEntry COMMANDS[];

private:
    void CmdSetActive(const CommandArguments& args);
    void CmdSetParameter(const CommandArguments& args);

    // Ids in ascending byte order.
    std::map<std::string, std::unique_ptr<cl_BaseEffect>> m_effects;
    cl_ReceiverRegistration m_receiver;
    cl_GameTimeRegistration m_frames;
};

// The receiver "effectmanager": an unknown name is ignored without a message; a missing argument
// refuses the command with a warning; an id no effect has does nothing.
inline const cl_EffectManager::CommandEntry cl_EffectManager::COMMANDS[] = {
    // (effect id, active) The effect's SetActive; a value that is no bool warns and counts as false.
    {"SetActive", "string id, bool active", &cl_EffectManager::CmdSetActive},
    // (effect id, parameter name, value of any kind) The effect's SetParameter with the value as it is.
    {"SetParameter", "string id, string parameter, any value", &cl_EffectManager::CmdSetParameter},
};
