#include "graphics/SceneManagerCommands.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SceneAsset.h"
#include "assets/cl_ScenePool.h"
#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_Patch.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_SceneObject.h"

#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
const char* const RECEIVER = "scenemanager";

using Run = void (*)(cl_SceneManager& scenes, const CommandArguments& args, cl_Command& cmd);

struct CommandRow
{
    const char* name;
    // The arguments it reads, as CommandArguments reads a table.
    const char* arguments;
    // The command runs only with exactly the listed number of arguments.
    bool exactCount;
    Run run;
};

// The number of arguments a row lists.
int Listed(const char* arguments)
{
    if (!*arguments)
        return 0;
    int count = 1;
    for (const char* comma = std::strchr(arguments, ','); comma; comma = std::strchr(comma + 1, ','))
        ++count;
    return count;
}

cl_PoolManager* Pools()
{
    return cl_PoolManager::GetInstance();
}

// The current scene; null, with a warning naming the command, when none is current.
cl_Scene* RequireScene(const cl_SceneManager& scenes, const CommandArguments& args, const char* command)
{
    cl_Scene* scene = scenes.GetLoadedScene();
    if (!scene)
        LOG_WARNING("The command '%s' needs a current scene; there is none (%s).", command,
                    args.String(0).c_str());
    return scene;
}

Ogre::SceneNode* FindNode(const cl_SceneManager& scenes, const std::string& name)
{
    const cl_Scene* scene = scenes.GetLoadedScene();
    return scene ? scene->GetSceneNode(name) : nullptr;
}

cl_Patch* FindPatch(const cl_SceneManager& scenes, const std::string& name)
{
    const cl_Scene* scene = scenes.GetLoadedScene();
    return scene ? scene->GetPatch(name) : nullptr;
}

cl_AnimatedPatch* FindAnimatedPatch(const cl_SceneManager& scenes, const std::string& name)
{
    return dynamic_cast<cl_AnimatedPatch*>(FindPatch(scenes, name));
}

Ogre::Light* FindLight(const cl_SceneManager& scenes, const std::string& name)
{
    Ogre::SceneManager* ogre = scenes.GetOgreSceneManager();
    return ogre && !name.empty() && ogre->hasLight(name) ? ogre->getLight(name) : nullptr;
}

cl_ItemAsset* FindIn(cl_AssetPool* pool, const std::string& id)
{
    return pool ? dynamic_cast<cl_ItemAsset*>(pool->FindAsset(id)) : nullptr;
}

// The value of the asset's logic parameter of that name; empty without one.
std::string ParamOf(const cl_Asset& asset, const std::string& name)
{
    const cl_AssetLogic* logic = asset.GetLogic();
    return logic ? logic->GetParam(name) : std::string();
}

cl_SceneAsset* FindSceneAsset(const std::string& sceneId)
{
    cl_PoolManager* pools = Pools();
    return pools ? dynamic_cast<cl_SceneAsset*>(pools->GetScenePool()->FindAsset(sceneId)) : nullptr;
}

// SetLocation and SetLocationOfCharacter: the object's scene and location from its logic parameters.
void PlaceByParams(const CommandArguments& args, bool character)
{
    cl_PoolManager* pools = Pools();
    if (!pools)
        return;
    cl_ItemAsset* asset = character ? FindIn(pools->GetCharacterPool(), args.String(0))
                                    : FindIn(pools->GetItemPool(), args.String(0));
    if (!asset)
        return;
    const std::string sceneId = ParamOf(*asset, args.String(1));
    const std::string location = ParamOf(*asset, args.String(2));
    asset->SetCurrentScene(sceneId);
    cl_SceneAsset* scene = FindSceneAsset(sceneId);
    if (!scene)
    {
        LOG_WARNING("The command '%s' finds no scene '%s' to put '%s' in.",
                    character ? "SetLocationOfCharacter" : "SetLocation", sceneId.c_str(),
                    asset->GetId().c_str());
        return;
    }
    if (character)
        scene->AddPuppet(asset->GetId(), location, true);
    else
        scene->AddSceneObject(asset->GetId(), location);
}

// RemoveCharacterFromScene and RemoveItemFromScene: the current scene, or the one the parameter names.
void RemoveFromScene(const cl_SceneManager& scenes, const CommandArguments& args, bool character)
{
    cl_PoolManager* pools = Pools();
    if (!pools)
        return;
    const std::string id = args.String(0);
    std::string sceneId = scenes.GetCurrentSceneName();
    const cl_ItemAsset* asset =
        character ? FindIn(pools->GetCharacterPool(), id) : FindIn(pools->GetItemPool(), id);
    if (args.Count() == 2 && asset)
        sceneId = ParamOf(*asset, args.String(1));
    cl_SceneAsset* scene = FindSceneAsset(sceneId);
    if (scene && character)
        scene->RemovePuppet(id, true);
    else if (scene)
        scene->RemoveSceneObject(id);
}

// AddLightMask and RemoveLightMask.
void ChangeLightMask(const cl_SceneManager& scenes, const CommandArguments& args, bool add)
{
    cl_SceneObject* object = cl_SceneObject::ResolveByName(args.String(0));
    const Ogre::Light* light = FindLight(scenes, args.String(1));
    if (!object || !light)
        return;
    if (add)
        object->AddLightMask(light->getLightMask());
    else
        object->RemoveLightMask(light->getLightMask());
}

void AnswerDouble(cl_Command& cmd, double value)
{
    cmd.m_results.GetArg(-1)->SetDouble(value);
}

// The receiver's commands, in the order they are looked up.
const CommandRow COMMANDS[] = {
    {"ActivateBackdrop", "string name", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (cl_Scene* scene = RequireScene(scenes, args, "ActivateBackdrop"))
             scene->ActivateBackdrop(args.String(0));
     }},
    // With the leave walk armed, the character walks to the entry location first.
    {"GoToScene", "string scene", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     { scenes.GoToScene(args.String(0)); }},
    // The character enters the next scene where it is, not at a spawn point.
    {"SwitchToScene", "string scene", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         scenes.SetSwitchToSceneNoSpawn(true);
         scenes.RequestSceneChange(args.String(0));
     }},
    // The item's scene and location are the values of its logic parameters of those names.
    {"SetLocation", "string item, string scene param, string location param", true,
     [](cl_SceneManager&, const CommandArguments& args, cl_Command&) { PlaceByParams(args, false); }},
    {"SetLocationOfCharacter", "string character, string scene param, string location param", true,
     [](cl_SceneManager&, const CommandArguments& args, cl_Command&) { PlaceByParams(args, true); }},
    // The object, or the item loaded for it, goes to the node.
    {"SetToSceneNode", "string object, string node", true,
     [](cl_SceneManager&, const CommandArguments& args, cl_Command&)
     {
         if (cl_SceneObject* object = cl_SceneObject::ResolveOrLoadByName(args.String(0)))
             object->SetLocation(args.String(1));
     }},
    // The object's entities and, independently, the light of that name get the mask.
    {"SetLightMask", "string name, int mask", true,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         const auto mask = static_cast<uint32_t>(args.Int(1));
         const cl_SceneObject* object = cl_SceneObject::ResolveByName(args.String(0));
         if (object && object->GetPuppet())
             object->GetPuppet()->SetLightMask(mask);
         if (Ogre::Light* light = FindLight(scenes, args.String(0)))
             light->setLightMask(mask);
     }},
    {"AddLightMask", "string object, string light", true,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     { ChangeLightMask(scenes, args, true); }},
    {"RemoveLightMask", "string object, string light", true,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     { ChangeLightMask(scenes, args, false); }},
    // The asset records the state; its body switches to it.
    {"SetVisualState", "string id, string state", true,
     [](cl_SceneManager&, const CommandArguments& args, cl_Command&)
     {
         const std::string id = args.String(0);
         cl_PoolManager* pools = Pools();
         if (auto* asset = dynamic_cast<cl_ItemAsset*>(pools ? pools->FindItemOrCharacter(id) : nullptr))
             asset->SetVisualisation(args.String(1));
         if (cl_SceneObject* object = cl_SceneObject::ResolveByName(id))
             object->SetVisualState(args.String(1));
     }},
    // From the current scene, or from the scene the character's parameter names.
    {"RemoveCharacterFromScene", "string character, [string scene param]", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     { RemoveFromScene(scenes, args, true); }},
    {"RemoveCharacterFromAllScenes", "string character", false,
     [](cl_SceneManager&, const CommandArguments& args, cl_Command&)
     {
         cl_PoolManager* pools = Pools();
         if (!pools)
             return;
         std::vector<cl_Asset*> sceneAssets;
         pools->GetScenePool()->GetAllAssets(sceneAssets);
         for (cl_Asset* asset : sceneAssets)
         {
             if (auto* scene = dynamic_cast<cl_SceneAsset*>(asset))
                 scene->RemovePuppet(args.String(0), true);
         }
     }},
    {"RemoveItemFromScene", "string item, [string scene param]", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     { RemoveFromScene(scenes, args, false); }},
    {"SetPatchVisible", "string patch, bool visible", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         cl_Patch* patch = FindPatch(scenes, args.String(0));
         if (patch && args.Bool(1))
             patch->Show();
         else if (patch)
             patch->Hide();
     }},
    // Answers whether the patch is shown; nothing for an unknown patch.
    {"GetPatchVisible", "string patch", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command& cmd)
     {
         if (const cl_Patch* patch = FindPatch(scenes, args.String(0)))
             cmd.m_results.GetArg(-1)->SetBool(patch->IsVisible());
     }},
    // In backdrop coordinates.
    {"SetPatchPosition", "string patch, double x, double y", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (cl_Patch* patch = FindPatch(scenes, args.String(0)))
             patch->SetPosition(args.Float(1), args.Float(2));
     }},
    {"StartPatchAnimation", "string patch", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (cl_AnimatedPatch* patch = FindAnimatedPatch(scenes, args.String(0)))
             patch->SetPlaying(true);
     }},
    {"SetPatchAnimationTimePosition", "string patch, double seconds", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (cl_AnimatedPatch* patch = FindAnimatedPatch(scenes, args.String(0)))
             patch->SetTimePosition(args.Float(1));
     }},
    {"StopPatchAnimation", "string patch", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (cl_AnimatedPatch* patch = FindAnimatedPatch(scenes, args.String(0)))
             patch->SetPlaying(false);
     }},
    {"ToggleDebugView", "", false,
     [](cl_SceneManager& scenes, const CommandArguments&, cl_Command&)
     {
         if (cl_Scene* scene = scenes.GetLoadedScene())
             scene->ToggleDebugView();
     }},
    {"VisualizeSceneNode", "string node", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (cl_Scene* scene = scenes.GetLoadedScene())
             scene->VisualizeSceneNode(args.String(0));
     }},
    // Answers the node's world position; 0, 0, 0 without the node.
    {"GetSceneNodePosition", "string node", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command& cmd)
     {
         const Ogre::SceneNode* node = FindNode(scenes, args.String(0));
         const Ogre::Vector3 position = node ? node->_getDerivedPosition() : Ogre::Vector3::ZERO;
         AnswerDouble(cmd, position.x);
         AnswerDouble(cmd, position.y);
         AnswerDouble(cmd, position.z);
     }},
    // Relative to the node's parent.
    {"SetSceneNodePosition", "string node, double x, double y, double z", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (Ogre::SceneNode* node = FindNode(scenes, args.String(0)))
             node->setPosition(args.Float(1), args.Float(2), args.Float(3));
     }},
    // With snap, the node then drops onto the navigation mesh below it (while a character is current).
    {"MoveSceneNode", "string node, double x, double y, double z, bool local, bool snap", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         Ogre::SceneNode* node = FindNode(scenes, args.String(0));
         if (!node)
             return;
         node->translate(Ogre::Vector3(args.Float(1), args.Float(2), args.Float(3)),
                         args.Bool(4) ? Ogre::Node::TS_LOCAL : Ogre::Node::TS_WORLD);
         const cl_GameComponents* hub = cl_GameComponents::GetInstance();
         const cl_Navmesh* navmesh = scenes.GetLoadedScene()->GetNavmesh();
         if (!args.Bool(5) || !hub || !hub->GetCurrentCharacter() || !navmesh)
             return;
         Ogre::Vector3 point;
         navmesh->RayHit(node->_getDerivedPosition(), Ogre::Vector3::NEGATIVE_UNIT_Y, point);
         node->_setDerivedPosition(point);
     }},
    // Degrees about X, then Y, then Z.
    {"RotateSceneNode", "string node, double x, double y, double z, bool local", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         Ogre::SceneNode* node = FindNode(scenes, args.String(0));
         if (!node)
             return;
         const Ogre::Node::TransformSpace space = args.Bool(4) ? Ogre::Node::TS_LOCAL : Ogre::Node::TS_WORLD;
         node->pitch(Ogre::Degree(args.Float(1)), space);
         node->yaw(Ogre::Degree(args.Float(2)), space);
         node->roll(Ogre::Degree(args.Float(3)), space);
     }},
    // With the node's children.
    {"SetSceneNodeVisible", "string node, bool visible", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (Ogre::SceneNode* node = FindNode(scenes, args.String(0)))
             node->setVisible(args.Bool(1), true);
     }},
    // Cancels a pending change.
    {"FadeToBlack", "double seconds", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     { scenes.FadeToBlack(args.Float(0)); }},
    {"FadeFromBlack", "double seconds", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (cl_Curtain* curtain = scenes.GetCurtain())
             curtain->FadeFromBlack(args.Float(0));
     }},
    {"EnableLight", "string light", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (Ogre::Light* light = FindLight(scenes, args.String(0)))
             light->setVisible(true);
     }},
    {"DisableLight", "string light", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         if (Ogre::Light* light = FindLight(scenes, args.String(0)))
             light->setVisible(false);
     }},
    // A spot light's cookie from now on.
    {"SetCookieTexture", "string light, string texture", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         Ogre::Light* light = FindLight(scenes, args.String(0));
         if (light && light->getType() == Ogre::Light::LT_SPOTLIGHT)
             light->getUserObjectBindings().setUserAny(Ogre::Any(args.String(1)));
     }},
    // Every sub-entity of the old material, in every entity.
    {"SwapMaterial", "string old material, string new material", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         Ogre::SceneManager* ogre = scenes.GetOgreSceneManager();
         if (!ogre)
             return;
         const std::string before = args.String(0);
         const std::string after = args.String(1);
         for (const auto& entry : ogre->getMovableObjects("Entity"))
         {
             auto* entity = static_cast<Ogre::Entity*>(entry.second);
             for (size_t i = 0; i < entity->getNumSubEntities(); ++i)
             {
                 Ogre::SubEntity* sub = entity->getSubEntity(i);
                 if (sub->getMaterialName() == before)
                     sub->setMaterialName(after);
             }
         }
     }},
    {"ScaleSceneObject", "string object, double factor", false,
     [](cl_SceneManager&, const CommandArguments& args, cl_Command&)
     {
         const cl_SceneObject* object = cl_SceneObject::ResolveByName(args.String(0));
         Ogre::SceneNode* node =
             object && object->GetPuppet() ? object->GetPuppet()->GetSceneNode() : nullptr;
         if (node)
             node->setScale(Ogre::Vector3(args.Float(1)));
     }},
    // Answers the active backdrop's off-axis shift x and y.
    {"GetScrollOffset", "", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command& cmd)
     {
         const cl_Scene* scene = RequireScene(scenes, args, "GetScrollOffset");
         const cl_Backdrop* backdrop = scene ? scene->GetActiveBackdrop() : nullptr;
         if (!backdrop)
             return;
         AnswerDouble(cmd, backdrop->GetShiftX());
         AnswerDouble(cmd, backdrop->GetShiftY());
     }},
    // Linear fog; the colour changes only with all three of its parts.
    {"SetFogParams", "double density, double start, double end, [double red, double green, double blue]",
     false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     {
         Ogre::SceneManager* ogre = scenes.GetOgreSceneManager();
         if (!ogre)
             return;
         Ogre::ColourValue colour = ogre->getFogColour();
         if (args.Count() == 6)
         {
             colour.r = args.Float(3);
             colour.g = args.Float(4);
             colour.b = args.Float(5);
         }
         ogre->setFog(Ogre::FOG_LINEAR, colour, args.Float(0), args.Float(1), args.Float(2));
     }},
    {"BlockInteraction", "bool blocked", false,
     [](cl_SceneManager& scenes, const CommandArguments& args, cl_Command&)
     { scenes.SetInteractionBlocked(args.Bool(0)); }},
};
} // namespace

bool RunSceneManagerCommand(cl_SceneManager& scenes, cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    const CommandRow* row = args.Find(COMMANDS, false);
    if (!row)
        return false;
    if (row->exactCount && args.Count() != Listed(row->arguments))
    {
        LOG_WARNING("Receiver '%s' refused the command '%s': it takes exactly %i arguments, not %i.",
                    RECEIVER, cmd.m_name.c_str(), Listed(row->arguments), args.Count());
        return false;
    }
    row->run(scenes, args, cmd);
    return true;
}
