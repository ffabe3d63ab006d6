#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/cl_Shot.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Ogre
{
class Camera;
}

class CommandArguments;
class cl_Backdrop;
class cl_Scene;
class cl_ShotGenerator;

// The one scene camera: chooses what the current scene's active backdrop shows. A scene declares named
// fixed shots and shot generators (which compute a shot anew each time, say from where the avatar
// stands); activating a name makes a fixed shot current or a generator the running source of shots, and
// applying a shot writes its look-at point, zoom and roll into the active backdrop.
//
// On a screen wider than 4:3 (once seen, for the rest of the run) every name is looked up with "_w"
// appended first, then as it is.
class cl_Camera : public ISingleton<cl_Camera>, public IGameTimeListener, public ICommandReceiver
{
public:
    // Registers as the receiver "camera" with distributor, which must outlive it.
    explicit cl_Camera(cl_CommandDistributor& distributor);
    // Reset.
    ~cl_Camera() override;

    // The commands of COMMANDS below; names compared whole, unknown names ignored without a message.
    bool ExecuteCmd(cl_Command& cmd) override;
    // While running, applies the active generator's shot.
    void Update(float dt) override;

    // Starts a loaded scene whose backdrops exist and one of them is active: keeps camera (not owned),
    // listens to the game time ("default", priority 2), sets the backdrop's zoom to 0.82 and activates
    // the pending shot, or else the active backdrop's first shot; the camera is then running. Without an
    // active backdrop it only keeps the camera and listens.
    void InitScene(Ogre::Camera* camera);
    // Ends a scene: forgets the shots, deletes the generators, stops running and listening.
    void Reset();

    // Files a fixed shot; one of that name before is replaced. rotation: degrees.
    void AddShot(const std::string& name, const Ogre::Vector3& position, float zoom, float rotation,
                 const std::string& backdrop);
    // Takes the generator (not null) over under id; one of that id before is deleted (an error).
    void AddShotGenerator(const std::string& id, std::unique_ptr<cl_ShotGenerator> generator);
    bool HasShotGenerator(const std::string& name) const;
    // The generator of that name (its "_w" variant first); null when there is none.
    cl_ShotGenerator* GetShotGenerator(const std::string& name) const;
    // Whether the name is a generator or a fixed shot.
    bool HasShot(const std::string& name) const;
    // The fixed shot of that name, else the shot its generator makes now, else the shot applied last,
    // with a warning unless the name is "current".
    cl_Shot GetShot(const std::string& name);
    // Makes the name the active shot: a generator runs from now on, a fixed shot stops it. A name that is
    // a shot is applied at once; any other name changes only what counts as active.
    void ActivateShot(const std::string& name);
    // Shows the shot: its backdrop is made active (when the scene has it), then the active backdrop
    // takes its zoom, look-at point and roll (the roll shows at the backdrop's next camera update).
    void ApplyShot(const cl_Shot& shot);
    // Activates the first shot of the backdrop: "avatar", else "default" (both with "_" and the
    // backdrop's name appended unless it is "default"), else the first fixed shot by name that belongs
    // to the backdrop and ends in "_w" exactly on a wide screen.
    void ActivateBackdropShot(const std::string& backdropName);

    // Blends the position, zoom and rotation of a toward b by their weights; backdrop "current".
    static cl_Shot InterpolateShots(const cl_Shot& a, const cl_Shot& b, float positionWeight,
                                    float zoomWeight, float rotationWeight);
    static cl_Shot InterpolateShots(const cl_Shot& a, const cl_Shot& b, float weight);
    // Where the ray from the active backdrop's eye through point meets the backdrop's plane; point itself
    // without an active backdrop.
    Ogre::Vector3 ProjectOnBackdrop(const Ogre::Vector3& point) const;
    // The angle in radians between the directions from the active backdrop's eye to the two shots'
    // positions; 0 without an active backdrop.
    float AngleOnBackdrop(const cl_Shot& a, const cl_Shot& b) const;

    // While running, the active generator's shot is applied every frame.
    bool IsRunning() const { return m_running; }
    // false: the active generator is no longer applied (a sequence moves the camera itself).
    void SetRunning(bool running) { m_running = running; }
    // The fixed shot activated last; empty while a generator is active.
    const std::string& GetStaticShotName() const { return m_staticShotName; }
    // The generator activated last; empty while a fixed shot is active.
    const std::string& GetGeneratorName() const { return m_generatorName; }
    // A shot to activate at the next scene start instead of the backdrop's first (a loaded game's).
    void SetPendingShotName(const std::string& name) { m_pendingShotName = name; }
    const std::string& GetPendingShotName() const { return m_pendingShotName; }
    bool IsWideScreen() const { return m_wideScreen; }
    // The shot applied last.
    const cl_Shot& GetCurrentShot() const { return m_currentShot; }
    Ogre::Camera* GetOgreCamera() const { return m_camera; }

    // The scene manager's loaded scene, and its active backdrop; null for none.
    static cl_Scene* CurrentScene();
    static cl_Backdrop* ActiveBackdrop();

    struct CommandEntry
    {
        const char* name;
        // The arguments it reads, named as CommandArguments reads a table.
        const char* arguments;
        bool (cl_Camera::*run)(const CommandArguments& args);
    };
    static const CommandEntry COMMANDS[];

private:
    bool CmdSuspend(const CommandArguments& args);
    bool CmdResume(const CommandArguments& args);
    bool CmdActivateShot(const CommandArguments& args);
    bool CmdAttachTo(const CommandArguments& args);

    // The shot of that name, its "_w" variant first; null when there is none.
    const cl_Shot* FindShot(const std::string& name) const;
    // The generator's shot; a generator that asks for its own shot, also through others, gets the
    // current shot instead (logged once per scene), so that a circle of generators ends.
    cl_Shot Generate(const std::string& name, cl_ShotGenerator& generator);

    std::string m_staticShotName;
    std::string m_generatorName;
    bool m_running = false;
    cl_Shot m_currentShot;
    Ogre::Camera* m_camera = nullptr;
    std::map<std::string, cl_Shot> m_shots;
    std::map<std::string, std::unique_ptr<cl_ShotGenerator>> m_generators;
    bool m_wideScreen = false;
    std::string m_pendingShotName;
    // Where the "_w" variants of names are spelled out.
    mutable std::string m_variantName;
    std::vector<const cl_ShotGenerator*> m_generating;
    std::set<std::string> m_reportedCircles;
    std::unique_ptr<cl_GameTimeRegistration> m_frames;
    cl_ReceiverRegistration m_receiver;
};

// What state charts and Lua scripts may ask of the receiver "camera", in the order they are compared.
// Each answers true when it was carried out.
inline const cl_Camera::CommandEntry cl_Camera::COMMANDS[] = {
    // The active generator is no longer applied; the view stays.
    {"Suspend", "", &cl_Camera::CmdSuspend},
    // The active generator is applied again.
    {"Resume", "", &cl_Camera::CmdResume},
    // (shot name) ActivateShot.
    {"ActivateShot", "string shot", &cl_Camera::CmdActivateShot},
    // (scene-node name) The OGRE camera leaves its node and follows the named one, and generators stop;
    // "" leaves the node and lets generators run again. A name that is no node leaves the camera on no
    // node (a warning).
    {"AttachTo", "string node", &cl_Camera::CmdAttachTo},
};
