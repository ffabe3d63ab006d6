#include "graphics/cl_Camera.h"

#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_ShotGenerator.h"

#include <OgreCamera.h>
#include <OgreRay.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <algorithm>

namespace
{
const char* const RECEIVER = "camera";
// Wider than 4:3 counts as a wide screen.
const float WIDE_ASPECT = 1.3333334f;
// The zoom a scene starts with, before its first shot.
const float SCENE_START_ZOOM = 0.82f;
const char* const WIDE_SUFFIX = "_w";

// Whether the name ends in "_w", counted only when its first "_w" is that ending.
bool EndsInWide(const std::string& name)
{
    const size_t found = name.find(WIDE_SUFFIX);
    return found != std::string::npos && found + 2 == name.size();
}

// The entry of that name in the map, its "_w" variant first on a wide screen; null when there is none.
// The variant's name is spelled out in scratch, which keeps its memory from frame to frame.
template <class Map>
const typename Map::mapped_type* FindVariant(const Map& map, const std::string& name, bool wide,
                                             std::string& scratch)
{
    if (wide)
    {
        const auto found = map.find(scratch.assign(name).append(WIDE_SUFFIX));
        if (found != map.end())
            return &found->second;
    }
    const auto found = map.find(name);
    return found == map.end() ? nullptr : &found->second;
}
} // namespace

cl_Camera::cl_Camera(cl_CommandDistributor& distributor) : m_receiver(distributor, RECEIVER, this) {}

cl_Camera::~cl_Camera()
{
    Reset();
}

bool cl_Camera::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    const CommandEntry* command = args.Find(COMMANDS, false);
    return command && (this->*command->run)(args);
}

bool cl_Camera::CmdSuspend(const CommandArguments&)
{
    m_running = false;
    return true;
}

bool cl_Camera::CmdResume(const CommandArguments&)
{
    m_running = true;
    return true;
}

bool cl_Camera::CmdActivateShot(const CommandArguments& args)
{
    ActivateShot(args.String(0));
    return true;
}

bool cl_Camera::CmdAttachTo(const CommandArguments& args)
{
    const std::string node = args.String(0);
    m_running = node.empty();
    if (!m_camera)
    {
        LOG_WARNING("There is no scene camera to attach to '%s'.", node.c_str());
        return false;
    }
    if (Ogre::SceneNode* parent = m_camera->getParentSceneNode())
        parent->detachObject(m_camera);
    if (node.empty())
        return true;
    Ogre::SceneManager* sceneManager = m_camera->getSceneManager();
    if (!sceneManager->hasSceneNode(node))
    {
        LOG_WARNING("There is no scene node '%s' for the camera to follow; it hangs on no node.",
                    node.c_str());
        return false;
    }
    sceneManager->getSceneNode(node)->attachObject(m_camera);
    return true;
}

void cl_Camera::Update(float)
{
    if (!m_running)
        return;
    if (cl_ShotGenerator* generator = GetShotGenerator(m_generatorName))
        ApplyShot(Generate(m_generatorName, *generator));
}

void cl_Camera::InitScene(Ogre::Camera* camera)
{
    m_camera = camera;
    if (m_camera && m_camera->getAspectRatio() > WIDE_ASPECT)
        m_wideScreen = true;
    m_frames.reset();
    m_frames = std::make_unique<cl_GameTimeRegistration>(cl_GameTime::GetInstance(), this, "default", 2);
    cl_Backdrop* backdrop = ActiveBackdrop();
    if (!backdrop)
        return;
    backdrop->SetZoom(SCENE_START_ZOOM);
    if (m_pendingShotName.empty())
    {
        ActivateBackdropShot(CurrentScene()->GetActiveBackdropName());
    }
    else
    {
        ActivateShot(m_pendingShotName);
        m_pendingShotName.clear();
    }
    m_running = true;
}

void cl_Camera::Reset()
{
    m_generatorName.clear();
    m_running = false;
    m_shots.clear();
    m_generators.clear();
    m_reportedCircles.clear();
    m_frames.reset();
}

void cl_Camera::AddShot(const std::string& name, const Ogre::Vector3& position, float zoom, float rotation,
                        const std::string& backdrop)
{
    m_shots[name] = cl_Shot(position, zoom, rotation, backdrop);
}

void cl_Camera::AddShotGenerator(const std::string& id, std::unique_ptr<cl_ShotGenerator> generator)
{
    std::unique_ptr<cl_ShotGenerator>& entry = m_generators[id];
    if (entry)
        LOG_ERROR("A Shot Generator with the id '%s' already is registered.", id.c_str());
    entry = std::move(generator);
}

bool cl_Camera::HasShotGenerator(const std::string& name) const
{
    return GetShotGenerator(name) != nullptr;
}

cl_ShotGenerator* cl_Camera::GetShotGenerator(const std::string& name) const
{
    const std::unique_ptr<cl_ShotGenerator>* generator =
        FindVariant(m_generators, name, m_wideScreen, m_variantName);
    return generator ? generator->get() : nullptr;
}

bool cl_Camera::HasShot(const std::string& name) const
{
    return HasShotGenerator(name) || FindShot(name);
}

cl_Shot cl_Camera::GetShot(const std::string& name)
{
    if (const cl_Shot* shot = FindShot(name))
        return *shot;
    if (cl_ShotGenerator* generator = GetShotGenerator(name))
        return Generate(name, *generator);
    if (name != "current")
        LOG_WARNING("Shot '%s' not found.", name.c_str());
    return m_currentShot;
}

void cl_Camera::ActivateShot(const std::string& name)
{
    const bool generator = HasShotGenerator(name);
    m_running = generator;
    m_generatorName = generator ? name : std::string();
    m_staticShotName = generator ? std::string() : name;
    if (HasShot(name))
        ApplyShot(GetShot(name));
}

void cl_Camera::ApplyShot(const cl_Shot& shot)
{
    m_currentShot = shot;
    cl_Scene* scene = CurrentScene();
    if (!scene)
        return;
    scene->ActivateBackdrop(shot.backdrop);
    cl_Backdrop* backdrop = scene->GetActiveBackdrop();
    if (!backdrop)
        return;
    backdrop->SetZoom(shot.zoom);
    backdrop->SetLookAtPoint(shot.position);
    backdrop->UpdateCamera();
    backdrop->SetRoll(Ogre::Degree(shot.rotation).valueRadians());
}

void cl_Camera::ActivateBackdropShot(const std::string& backdropName)
{
    const std::string suffix = backdropName == "default" ? std::string() : "_" + backdropName;
    for (const char* first : {"avatar", "default"})
    {
        const std::string candidate = first + suffix;
        if (HasShot(candidate))
        {
            ActivateShot(candidate);
            return;
        }
    }
    for (const auto& entry : m_shots)
    {
        if (entry.second.backdrop == backdropName && EndsInWide(entry.first) == m_wideScreen)
        {
            ActivateShot(entry.first);
            return;
        }
    }
}

cl_Shot cl_Camera::InterpolateShots(const cl_Shot& a, const cl_Shot& b, float positionWeight,
                                    float zoomWeight, float rotationWeight)
{
    return cl_Shot(a.position + positionWeight * (b.position - a.position),
                   a.zoom + zoomWeight * (b.zoom - a.zoom),
                   a.rotation + rotationWeight * (b.rotation - a.rotation), "current");
}

cl_Shot cl_Camera::InterpolateShots(const cl_Shot& a, const cl_Shot& b, float weight)
{
    return InterpolateShots(a, b, weight, weight, weight);
}

Ogre::Vector3 cl_Camera::ProjectOnBackdrop(const Ogre::Vector3& point) const
{
    const cl_Backdrop* backdrop = ActiveBackdrop();
    if (!backdrop)
        return point;
    const Ogre::Vector3& eye = backdrop->GetEyePosition();
    return backdrop->RayToBackdropPlane(Ogre::Ray(eye, point - eye));
}

float cl_Camera::AngleOnBackdrop(const cl_Shot& a, const cl_Shot& b) const
{
    const cl_Backdrop* backdrop = ActiveBackdrop();
    if (!backdrop)
        return 0.0f;
    const Ogre::Vector3& eye = backdrop->GetEyePosition();
    return (a.position - eye).angleBetween(b.position - eye).valueRadians();
}

const cl_Shot* cl_Camera::FindShot(const std::string& name) const
{
    return FindVariant(m_shots, name, m_wideScreen, m_variantName);
}

cl_Shot cl_Camera::Generate(const std::string& name, cl_ShotGenerator& generator)
{
    if (std::find(m_generating.begin(), m_generating.end(), &generator) != m_generating.end())
    {
        if (m_reportedCircles.insert(name).second)
            LOG_WARNING("The shot generator '%s' asks for its own shot; it gets the current shot instead.",
                        name.c_str());
        return m_currentShot;
    }
    m_generating.push_back(&generator);
    const cl_Shot shot = generator.GenerateShot();
    m_generating.pop_back();
    return shot;
}

cl_Scene* cl_Camera::CurrentScene()
{
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    return scenes ? scenes->GetLoadedScene() : nullptr;
}

cl_Backdrop* cl_Camera::ActiveBackdrop()
{
    const cl_Scene* scene = CurrentScene();
    return scene ? scene->GetActiveBackdrop() : nullptr;
}
