#include "graphics/cl_Backdrop.h"

#include "common/LogCall.h"
#include "common/cl_GameTime.h"
#include "common/cl_ScriptSystem.h"
#include "graphics/CameraPlacement.h"
#include "graphics/cl_LightPatch.h"
#include "graphics/cl_PatchLoader.h"
#include "graphics/cl_TexturePane.h"

#include <OgreCamera.h>
#include <OgreMath.h>
#include <OgrePlane.h>
#include <OgreRay.h>
#include <OgreRenderQueue.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <cmath>

namespace
{
// The field of view at construction, in degrees.
const float DEFAULT_FIELD_OF_VIEW = 45.0f;
// The plane lies ten times as far from the camera as the scene camera's target.
const float PLANE_DISTANCE_FACTOR = 10.0f;
// A vertical field of view is widened to the horizontal one of a 4:3 view.
const float FOUR_TO_THREE = 0.75f;
// How much a vertical set-up enlarges the plane beyond the view, against the edges of a wide lens.
const float LENS_MARGIN = 0.6f;
// Scene patches are drawn in group 70 unless told otherwise.
const int SCENE_GROUP = 70;
const int LIGHT_GROUP = 75;

// The distance along the ray to the plane; 0 when the ray misses it.
float DistanceToPlane(const Ogre::Ray& ray, const Ogre::Plane& plane)
{
    const std::pair<bool, Ogre::Real> hit = ray.intersects(plane);
    return hit.first ? hit.second : 0.0f;
}
} // namespace

template <class Patch> Patch* cl_Backdrop::Adopt(std::unique_ptr<Patch> patch)
{
    Patch* adopted = patch.get();
    m_patches.push_back(std::move(patch));
    return adopted;
}

cl_Backdrop::cl_Backdrop(float width, float height, const std::string& name)
    : m_name(name), m_width(width), m_height(height),
      m_fieldOfView(Ogre::Degree(DEFAULT_FIELD_OF_VIEW).valueRadians())
{
}

cl_Backdrop::~cl_Backdrop()
{
    Destroy();
}

bool cl_Backdrop::Init(Ogre::SceneNode* parent, Ogre::SceneManager* sceneManager,
                       const std::string& cameraName, bool horizontal)
{
    Destroy();
    m_camera = nullptr;
    m_sceneManager = sceneManager;
    m_cameraName = cameraName;
    m_horizontal = horizontal;
    m_parentNode = parent;
    if (!m_sceneManager || !m_parentNode)
    {
        LOG_WARNING("Backdrop '%s' has no scene manager or node to hang under.", m_name.c_str());
        return false;
    }
    m_rootNode = m_parentNode->createChildSceneNode();
    m_planeNode = m_parentNode->createChildSceneNode();
    m_parentNode->removeChild(m_rootNode);
    m_frames = std::make_unique<cl_GameTimeRegistration>(cl_GameTime::GetInstance(), this, "default", 0);
    m_initialised = true;
    return true;
}

void cl_Backdrop::Activate()
{
    if (m_active || !m_initialised)
        return;
    m_active = true;
    m_parentNode->addChild(m_rootNode);
    ApplyClipDistances();
    RunHook("OnActivate");
    UpdateCamera();
}

void cl_Backdrop::Deactivate()
{
    if (!m_active)
        return;
    m_parentNode->removeChild(m_rootNode);
    m_active = false;
    RunHook("OnDeactivate");
}

void cl_Backdrop::Destroy()
{
    if (!m_initialised)
        return;
    m_patches.clear();
    // Both nodes go: a backdrop built again for the next visit makes them anew.
    m_sceneManager->destroySceneNode(m_rootNode);
    m_sceneManager->destroySceneNode(m_planeNode);
    m_rootNode = nullptr;
    m_planeNode = nullptr;
    m_frames.reset();
    m_initialised = false;
    m_active = false;
}

void cl_Backdrop::SetCamera(Ogre::Camera* camera, const Ogre::Vector3& position, const Ogre::Vector3& target,
                            float fieldOfView, const Ogre::Quaternion& cameraOrientation,
                            const Ogre::Quaternion& planeOrientation)
{
    m_camera = camera;
    if (m_camera && m_camera->getViewport())
    {
        const Ogre::Viewport& viewport = *m_camera->getViewport();
        m_camera->setAspectRatio(static_cast<Ogre::Real>(viewport.getActualWidth()) /
                                 static_cast<Ogre::Real>(viewport.getActualHeight()));
    }
    ApplyClipDistances();

    m_cameraPosition = position;
    m_baseLookPoint = position + PLANE_DISTANCE_FACTOR * (target - position);
    const float distance = (m_baseLookPoint - m_cameraPosition).length();
    float scale = 0.0f;
    if (m_horizontal)
    {
        m_fieldOfView = fieldOfView;
        scale = 2.0f * std::tan(m_fieldOfView / 2.0f) * distance / m_width;
    }
    else
    {
        m_fieldOfView = 2.0f * std::atan(std::tan(fieldOfView / 2.0f) / FOUR_TO_THREE);
        scale = 2.0f * std::tan(m_fieldOfView / 2.0f) * distance / m_width;
        scale *= (1.0f / std::cos(m_fieldOfView / 2.0f) - 1.0f) * LENS_MARGIN + 1.0f;
    }
    if (std::isfinite(scale))
        m_planeScale = scale;
    else
        LOG_WARNING("Backdrop '%s' of width %f cannot fill the view; its plane keeps the scale %f.",
                    m_name.c_str(), static_cast<double>(m_width), static_cast<double>(m_planeScale));

    if (m_planeNode)
    {
        m_planeNode->setPosition(m_baseLookPoint);
        m_planeNode->setScale(m_planeScale, m_planeScale, m_planeScale);
        m_planeNode->setOrientation(planeOrientation);
    }
    m_rightAxis = planeOrientation * Ogre::Vector3::UNIT_X;
    m_upAxis = planeOrientation * Ogre::Vector3::UNIT_Y;
    m_lookAtPoint = m_baseLookPoint;
    m_eyePosition = position;
    m_cameraOrientation = cameraOrientation;
    UpdateCamera();
}

void cl_Backdrop::RotateCamera(float angle1, float angle2)
{
    Ogre::Vector3 direction = m_lookAtPoint - m_eyePosition;
    direction = Ogre::Quaternion(Ogre::Radian(angle1), m_upAxis) * direction;
    direction = Ogre::Quaternion(Ogre::Radian(angle2), m_rightAxis) * direction;
    m_lookAtPoint = m_eyePosition + direction;
    UpdateCamera();
}

void cl_Backdrop::SetZoom(float zoom)
{
    m_zoom = zoom;
    UpdateCamera();
}

void cl_Backdrop::UpdateCamera()
{
    if (!m_initialised || !m_active || !m_camera)
        return;
    m_camera->setCustomProjectionMatrix(false);
    const Ogre::Quaternion& q = m_cameraOrientation;
    const Ogre::Quaternion view(q * Ogre::Vector3::UNIT_X, -(q * Ogre::Vector3::UNIT_Z),
                                q * Ogre::Vector3::UNIT_Y);
    PlaceCamera(*m_camera, m_eyePosition,
                view * Ogre::Quaternion(Ogre::Radian(m_roll), Ogre::Vector3::UNIT_Z));

    // The shift moves the look-at point's place on the plane to the middle of the view.
    const Ogre::Ray toLookAt(m_eyePosition, m_lookAtPoint - m_eyePosition);
    const Ogre::Plane plane(m_planeNode->getOrientation() * Ogre::Vector3::UNIT_Z, m_baseLookPoint);
    const Ogre::Vector3 hit = toLookAt.getPoint(DistanceToPlane(toLookAt, plane));
    const Ogre::Vector3 offset = hit - m_baseLookPoint;
    const float length = (hit - m_eyePosition).length();
    m_shiftX = length > 0.0f ? -offset.dotProduct(m_rightAxis) / length : 0.0f;
    m_shiftY = length > 0.0f ? offset.dotProduct(m_upAxis) / length : 0.0f;

    Ogre::Matrix4 shift = Ogre::Matrix4::IDENTITY;
    shift[0][2] = m_shiftX;
    shift[1][2] = m_shiftY;
    Ogre::Matrix4 zoom = Ogre::Matrix4::IDENTITY;
    // A zoom that is not above 0 would fold the view up: it counts as 1.
    const float inverseZoom = m_zoom > 0.0f ? 1.0f / m_zoom : 1.0f;
    zoom[0][0] = inverseZoom;
    zoom[1][1] = inverseZoom;
    m_camera->setCustomProjectionMatrix(true, m_camera->getProjectionMatrix() * shift * zoom);

    for (const std::unique_ptr<cl_Patch>& patch : m_patches)
        patch->Refresh();
    RunHook("OnUpdate");
}

void cl_Backdrop::Update(float dt)
{
    for (const std::unique_ptr<cl_Patch>& patch : m_patches)
        patch->Update(dt);
}

Ogre::Vector3 cl_Backdrop::RayToBackdropPlane(const Ogre::Ray& ray) const
{
    if (!m_planeNode)
        return ray.getOrigin();
    const Ogre::Plane plane(m_planeNode->_getDerivedOrientation() * Ogre::Vector3::UNIT_Z,
                            m_planeNode->_getDerivedPosition());
    return ray.getPoint(DistanceToPlane(ray, plane));
}

Ogre::Vector2 cl_Backdrop::WorldToBackdrop(const Ogre::Vector3& point) const
{
    if (!m_planeNode)
        return Ogre::Vector2(m_width / 2.0f - point.x, m_height / 2.0f - point.y);
    const Ogre::Vector3 local = m_planeNode->_getDerivedOrientation().Inverse() *
                                (point - m_planeNode->_getDerivedPosition()) /
                                m_planeNode->_getDerivedScale();
    return Ogre::Vector2(m_width / 2.0f - local.x, m_height / 2.0f - local.y);
}

Ogre::Vector3 cl_Backdrop::BackdropToWorld(float x, float y) const
{
    const Ogre::Vector3 local(m_width / 2.0f - x, m_height / 2.0f - y, 0.0f);
    if (!m_planeNode)
        return local;
    return m_planeNode->_getDerivedOrientation() * (local * m_planeNode->_getDerivedScale()) +
           m_planeNode->_getDerivedPosition();
}

cl_Patch* cl_Backdrop::LoadPatch(const TiXmlElement& element)
{
    if (!TakesPatches())
        return nullptr;
    std::unique_ptr<cl_Patch> patch = cl_PatchLoader(*this).Load(element);
    return patch ? Adopt(std::move(patch)) : nullptr;
}

cl_Patch* cl_Backdrop::CreatePatch(const std::string& texture, float camDist, int renderQueueGroup,
                                   int renderQueuePriority, float x, float y, float texLeft, float texTop,
                                   float texWidth, float texHeight)
{
    if (!TakesPatches())
        return nullptr;
    cl_Patch* patch = Adopt(std::make_unique<cl_Patch>(*this, texWidth, texHeight));
    patch->SetTexture(texture);
    patch->SetPosition(x, y);
    patch->SetManualAlpha(true);
    patch->UpdateMaterial();
    if (camDist <= -1.0f)
    {
        patch->SetDepthWrite(false);
        patch->SetDepthCheck(false);
        PlaceInRenderQueue(*patch, renderQueueGroup, renderQueuePriority);
        patch->UpdateMaterial();
    }
    else
    {
        PlaceInRenderQueue(*patch, renderQueueGroup != 0 ? renderQueueGroup : SCENE_GROUP,
                           renderQueuePriority);
        patch->SetDepthWrite(false);
        patch->SetDepthCheck(true);
        patch->UpdateMaterial();
        patch->SetCameraDistance(camDist);
        patch->SetDistanceMode(0);
        patch->UpdatePosition();
    }
    patch->SetTextureRect(texLeft, texTop, texWidth, texHeight);
    return patch;
}

cl_LightPatch* cl_Backdrop::CreateLightPatch(const std::string& texture, float x, float y, float texLeft,
                                             float texTop, float texWidth, float texHeight)
{
    if (!TakesPatches())
        return nullptr;
    cl_LightPatch* patch = Adopt(std::make_unique<cl_LightPatch>(*this, texWidth, texHeight));
    patch->SetTexture(texture);
    patch->SetPosition(x, y);
    patch->SetTextureRect(texLeft, texTop, texWidth, texHeight);
    patch->SetDepthWrite(false);
    patch->SetDepthCheck(true);
    PlaceInRenderQueue(*patch, LIGHT_GROUP, 0);
    patch->UpdateMaterial();
    return patch;
}

void cl_Backdrop::PlaceInRenderQueue(cl_Patch& patch, int group, int priority) const
{
    if (group < 0 || group > Ogre::RENDER_QUEUE_MAX)
    {
        LOG_WARNING("Backdrop '%s': render queue %i does not exist; the patch is drawn in %i.",
                    m_name.c_str(), group, static_cast<int>(Ogre::RENDER_QUEUE_MAX));
        group = Ogre::RENDER_QUEUE_MAX;
    }
    patch.GetPane().setRenderQueueGroup(static_cast<uint8_t>(group));
    patch.GetPane().SetPriority(static_cast<uint16_t>(priority));
}

void cl_Backdrop::RunHook(const std::string& event) const
{
    const auto found = m_hooks.find(event);
    cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance();
    if (found != m_hooks.end() && !found->second.empty() && scripts)
        scripts->ExecuteString(found->second);
}

void cl_Backdrop::SetNearClipDistance(float distance)
{
    // OGRE refuses a near plane at or behind the eye.
    if (!(distance > 0.0f))
    {
        LOG_WARNING("Backdrop '%s': a near clip distance of %f is not above 0; it stays %f.", m_name.c_str(),
                    static_cast<double>(distance), static_cast<double>(m_nearClipDistance));
        return;
    }
    m_nearClipDistance = distance;
    ApplyClipDistances();
}

void cl_Backdrop::SetFarClipDistance(float distance)
{
    m_farClipDistance = distance;
    ApplyClipDistances();
}

bool cl_Backdrop::TakesPatches() const
{
    if (!m_initialised)
        LOG_WARNING("Backdrop '%s' is not initialised and takes no patch.", m_name.c_str());
    return m_initialised;
}

void cl_Backdrop::ApplyClipDistances() const
{
    if (!m_camera)
        return;
    m_camera->setNearClipDistance(m_nearClipDistance);
    m_camera->setFarClipDistance(m_farClipDistance);
}
