#pragma once

#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class Camera;
class Ray;
class SceneManager;
class SceneNode;
} // namespace Ogre

class TiXmlElement;
class cl_LightPatch;
class cl_Patch;

// A location's pre-rendered picture: a plane of width × height backdrop units in front of the scene
// camera, covered with patches, and the view set-up that lines the 3D scene up with it. While active it
// places the OGRE camera at the scene camera's eye and shows a part of the picture by an off-axis shift
// of the projection (toward the look-at point), a zoom and a roll.
//
// Backdrop point (x, y) is the plane-node point (width/2 - x, height/2 - y, 0): (0, 0) is one corner of
// the picture, (width, height) the opposite one.
class cl_Backdrop : public IGameTimeListener
{
public:
    cl_Backdrop(float width, float height, const std::string& name);
    // Destroy.
    virtual ~cl_Backdrop();
    cl_Backdrop(const cl_Backdrop&) = delete;
    cl_Backdrop& operator=(const cl_Backdrop&) = delete;

    // Destroys what an earlier Init built, then builds the root and plane nodes under parent (the root
    // node stays detached until Activate) and listens to the game time ("default", priority 0). Without
    // a scene manager or parent node: false, and nothing is built. The camera is forgotten.
    bool Init(Ogre::SceneNode* parent, Ogre::SceneManager* sceneManager, const std::string& cameraName,
              bool horizontal);
    // Attaches the root node (so the patches show), gives the camera the clip distances, runs the hook
    // "OnActivate" and updates the camera. Nothing when active already.
    void Activate();
    // Detaches the root node and runs "OnDeactivate". Nothing when not active.
    void Deactivate();
    // Deletes the patches, destroys both nodes and leaves the game time; the backdrop is then neither
    // initialised nor active. Nothing before Init.
    void Destroy();

    // Takes the scene camera's set-up (position, target and field of view in radians, vertical unless
    // the backdrop is horizontal) for camera (not owned): scales and turns the plane so that it fills
    // the view ten times as far as the target, and looks at its centre.
    void SetCamera(Ogre::Camera* camera, const Ogre::Vector3& position, const Ogre::Vector3& target,
                   float fieldOfView, const Ogre::Quaternion& cameraOrientation,
                   const Ogre::Quaternion& planeOrientation);
    // Turns the look-at point around the eye: angle1 around the up axis, then angle2 around the right
    // axis (radians); then updates the camera.
    void RotateCamera(float angle1, float angle2);
    // A zoom of 2 shows the picture at half its size, 0.5 at double; then updates the camera.
    void SetZoom(float zoom);
    // Written by the camera's shots; neither updates the camera. roll: radians.
    void SetLookAtPoint(const Ogre::Vector3& point) { m_lookAtPoint = point; }
    void SetRoll(float roll) { m_roll = roll; }
    // Places the camera, shifts and zooms its projection, rolls it, refreshes the patches and runs the
    // hook "OnUpdate". Only while initialised, active and with a camera; otherwise the stored values
    // wait for the next update.
    void UpdateCamera();

    // Every patch's Update, active or not.
    void Update(float dt) override;

    // Where the ray meets the picture's plane; its origin when it misses the plane.
    Ogre::Vector3 RayToBackdropPlane(const Ogre::Ray& ray) const;
    Ogre::Vector2 WorldToBackdrop(const Ogre::Vector3& point) const;
    Ogre::Vector3 BackdropToWorld(float x, float y) const;

    // Reads one patch element (patch, animatedpatch, foregroundpatch, scenepatch, lightpatch) into a new
    // patch of the backdrop. Null, logged with the backdrop's name, for an element that makes no patch
    // or a backdrop that is not initialised. The backdrop owns the patch.
    cl_Patch* LoadPatch(const TiXmlElement& element);
    // A plain patch showing the texture's rectangle at (x, y), for menus and minigames. camDist -1 or
    // less: drawn in the given group without depth test; otherwise drawn at that distance from the camera
    // with the depth test on, in the group (0 means 70). Null on a backdrop that is not initialised.
    cl_Patch* CreatePatch(const std::string& texture, float camDist, int renderQueueGroup,
                          int renderQueuePriority, float x, float y, float texLeft, float texTop,
                          float texWidth, float texHeight);
    // A white additive light patch in group 75. Null on a backdrop that is not initialised.
    cl_LightPatch* CreateLightPatch(const std::string& texture, float x, float y, float texLeft, float texTop,
                                    float texWidth, float texHeight);
    // Sets the pane's render-queue group and priority. OGRE has no group past 105: a higher one is held
    // there (logged).
    void PlaceInRenderQueue(cl_Patch& patch, int group, int priority) const;

    // The Lua text run for the event ("OnActivate", "OnDeactivate", "OnUpdate").
    void SetHook(const std::string& event, const std::string& script) { m_hooks[event] = script; }
    // Runs the event's text, when there is some, through the script system.
    void RunHook(const std::string& event) const;

    // Also given to the camera at once when the backdrop has one.
    void SetNearClipDistance(float distance);
    void SetFarClipDistance(float distance);

    const std::string& GetName() const { return m_name; }
    const std::string& GetCameraName() const { return m_cameraName; }
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    float GetZoom() const { return m_zoom; }
    float GetRoll() const { return m_roll; }
    float GetFieldOfView() const { return m_fieldOfView; }
    float GetPlaneScale() const { return m_planeScale; }
    float GetShiftX() const { return m_shiftX; }
    float GetShiftY() const { return m_shiftY; }
    const Ogre::Vector3& GetLookAtPoint() const { return m_lookAtPoint; }
    const Ogre::Vector3& GetEyePosition() const { return m_eyePosition; }
    bool IsInitialised() const { return m_initialised; }
    bool IsActive() const { return m_active; }
    Ogre::Camera* GetCamera() const { return m_camera; }
    // Null before Init.
    Ogre::SceneNode* GetRootNode() const { return m_rootNode; }
    Ogre::SceneNode* GetPlaneNode() const { return m_planeNode; }
    const std::vector<std::unique_ptr<cl_Patch>>& GetPatches() const { return m_patches; }

private:
    // Takes the patch over and gives it back.
    template <class Patch> Patch* Adopt(std::unique_ptr<Patch> patch);
    // Whether the backdrop is initialised, so that patches have a node to hang under; logged when not.
    bool TakesPatches() const;
    void ApplyClipDistances() const;

    std::map<std::string, std::string> m_hooks;
    Ogre::SceneNode* m_planeNode = nullptr;
    Ogre::SceneNode* m_rootNode = nullptr;
    Ogre::SceneNode* m_parentNode = nullptr;
    std::vector<std::unique_ptr<cl_Patch>> m_patches;
    std::string m_name;
    Ogre::Vector3 m_rightAxis = Ogre::Vector3::UNIT_X;
    Ogre::Vector3 m_upAxis = Ogre::Vector3::UNIT_Y;
    float m_width;
    float m_height;
    Ogre::Vector3 m_cameraPosition = Ogre::Vector3::ZERO;
    Ogre::Vector3 m_baseLookPoint = Ogre::Vector3::ZERO;
    float m_fieldOfView;
    Ogre::Vector3 m_lookAtPoint = Ogre::Vector3::ZERO;
    Ogre::Vector3 m_eyePosition = Ogre::Vector3::ZERO;
    Ogre::Quaternion m_cameraOrientation = Ogre::Quaternion::IDENTITY;
    float m_nearClipDistance = 5.0f;
    float m_farClipDistance = 100000.0f;
    bool m_horizontal = false;
    bool m_initialised = false;
    bool m_active = false;
    float m_zoom = 1.0f;
    float m_roll = 0.0f;
    std::string m_cameraName;
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Camera* m_camera = nullptr;
    float m_shiftX = 0.0f;
    float m_shiftY = 0.0f;
    float m_planeScale = 1.0f;
    std::unique_ptr<cl_GameTimeRegistration> m_frames;
};
