#include "graphics/ItemManagerCommands.h"

#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_PatchItem.h"
#include "graphics/cl_SceneObject.h"

namespace
{
const char* const RECEIVER = "itemmanager";

using Run = void (*)(cl_ItemManager& items, const CommandArguments& args, const char* command);

struct CommandRow
{
    const char* name;
    // The arguments it reads, as CommandArguments reads a table.
    const char* arguments;
    Run run;
};

bool IsString(const CommandArguments& args, int index)
{
    return args.Any(index).GetType() == cl_Argument::TYPE_STRING;
}

// HideSubMesh and ShowSubMesh.
void SetSubMeshVisible(cl_ItemManager& items, const CommandArguments& args, const char* command, bool visible)
{
    if (!IsString(args, 0))
    {
        LOG_ERROR("The first parameter in a '%s' command needs to be an item id.", command);
        return;
    }
    if (!IsString(args, 1))
    {
        LOG_ERROR("The second parameter in a '%s' command needs to be a submesh name.", command);
        return;
    }
    const std::string id = args.String(0);
    const std::string subMesh = args.String(1);
    const cl_SceneObject* item = items.GetItemObject(id);
    cl_ControlledPuppet* puppet = item ? item->GetPuppet() : nullptr;
    if (!puppet || !puppet->SetSubMeshVisible(subMesh, visible))
        LOG_ERROR("Changing visibility of submesh '%s' of item '%s' failed.", subMesh.c_str(), id.c_str());
}

// The receiver "itemmanager", in the order a command's name is looked for.
const CommandRow COMMANDS[] = {
    // With the id alone: placed at the loaded scene's root (AddItem); with a location: placed there; with
    // more arguments nothing happens.
    {"AddItem", "string id, [string location]",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     {
         if (args.Count() == 1)
             items.AddItem(args.String(0));
         else if (args.Count() == 2)
             items.AddItem(args.String(0), args.String(1));
     }},
    // Takes a built item out of the scene under this name (RemoveItemFromScene); it stays built.
    {"RemoveItem", "string id",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     { items.RemoveItemFromScene(args.String(0)); }},
    {"SetItemPickable", "string id, bool pickable",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     { items.SetItemPickable(args.String(0), args.Bool(1)); }},
    // Builds the item without placing it.
    {"PreloadItem", "string id",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     { items.LoadItem(args.String(0)); }},
    // Builds the item when needed and plays its animation: a scene item its special animation at the scene
    // node named position (where it stands without one), a patch item its patch animation. Nobody waits
    // for the end.
    {"PlayItemAnimation", "string id, string animation, [string position]",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     {
         cl_ItemEntry* entry = items.LoadItem(args.String(0));
         if (entry && entry->sceneItem)
         {
             items.ResetItemPlacement(*entry);
             if (args.Count() == 3)
                 entry->sceneItem->PlayAnimation(args.String(1), args.String(2), Ogre::Vector3::ZERO,
                                                 Ogre::Quaternion::IDENTITY, nullptr);
             else
                 entry->sceneItem->StartAnimation(args.String(1), nullptr);
         }
         else if (entry && entry->patchItem)
             entry->patchItem->PlayAnimation(args.String(1), nullptr);
     }},
    // Stops what a built item plays.
    {"StopItemAnimation", "string id",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     {
         cl_ItemEntry* entry = items.FindItem(args.String(0));
         if (entry && entry->sceneItem)
         {
             items.ResetItemPlacement(*entry);
             entry->sceneItem->StopAnimation();
         }
         else if (entry && entry->patchItem)
             entry->patchItem->StopAnimation();
     }},
    // A uniform scale of the item's object.
    {"Scale", "[string id, float factor]",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     {
         if (args.Count() < 2)
         {
             LOG_ERROR("Scaling character failed. Insufficient arguments.");
             return;
         }
         if (cl_SceneObject* item = items.GetItemObject(args.String(0)))
             item->SetScale(args.Float(1));
         else
             LOG_ERROR("Scaling item '%s' failed.", args.String(0).c_str());
     }},
    // The material (any resource group) on that sub-entity of the submesh's entity.
    {"ChangeCertainMaterial", "string id, string submesh, int subentity, string material",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     {
         if (cl_SceneObject* item = items.GetItemObject(args.String(0)))
             item->SetSubMeshMaterial(args.String(1), static_cast<unsigned int>(args.Int(2)), args.String(3));
     }},
    // The same on a slave object's entity.
    {"ChangeCertainSlaveMaterial", "string id, string slave, int subentity, string material",
     [](cl_ItemManager& items, const CommandArguments& args, const char*)
     {
         if (cl_SceneObject* item = items.GetItemObject(args.String(0)))
             item->SetSubEntityMaterial(args.String(1), static_cast<unsigned int>(args.Int(2)),
                                        args.String(3));
     }},
    // These check their arguments themselves, each failure with its own message.
    {"HideSubMesh", "[string id, string submesh]",
     [](cl_ItemManager& items, const CommandArguments& args, const char* command)
     { SetSubMeshVisible(items, args, command, false); }},
    {"ShowSubMesh", "[string id, string submesh]",
     [](cl_ItemManager& items, const CommandArguments& args, const char* command)
     { SetSubMeshVisible(items, args, command, true); }},
};
} // namespace

bool RunItemManagerCommand(cl_ItemManager& items, cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    const CommandRow* row = args.Find(COMMANDS, true);
    if (!row)
        return false;
    row->run(items, args, row->name);
    return true;
}
