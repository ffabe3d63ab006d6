#include "support/TestBody.h"

#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetControl.h"
#include "support/TestMeshes.h"

#include <OgreMeshManager.h>
#include <OgreSkeleton.h>
#include <OgreSkeletonManager.h>

namespace
{
// The part's mesh, made once for the OGRE that runs.
std::string Part(const std::string& name, bool rigged)
{
    if (!Ogre::MeshManager::getSingleton().resourceExists(name, Ogre::RGN_DEFAULT))
    {
        if (rigged)
        {
            MakeTestTriangle(name, {{"root", -1, Ogre::Vector3::ZERO}, {"hand", 0, Ogre::Vector3(0, 2, 0)}});
            Ogre::SkeletonManager::getSingleton().getByName(name + "_rig")->createAnimation("idle", 1.0f);
        }
        else
            MakeTestTriangle(name);
    }
    return name;
}
} // namespace

std::unique_ptr<cl_Character> MakeTestBody(Ogre::SceneManager& sceneManager, const std::string& name)
{
    auto body = std::make_unique<cl_Character>(sceneManager, name);
    cl_ControlledPuppet& puppet = *body->GetPuppet();
    puppet.AddSubMesh(Part("body_frame", true), "frame");
    puppet.AddSubMesh(Part("body_leaf", false), "leaf");
    puppet.AddSlaveObject("lamp", Part("body_lamp", true), "parent");
    puppet.AddSlaveObject("key", Part("body_key", false), "parent");
    puppet.AddControl("idle", std::make_unique<cl_PuppetControl>());
    return body;
}
