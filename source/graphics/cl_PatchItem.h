#pragma once

#include "common/IGameTimeListener.h"
#include "graphics/cl_VisualStateHolder.h"
#include "graphics/st_PatchAnimationProperties.h"

#include <map>
#include <string>

class IPatchAnimationEventListener;
class ISyncedActionInitiator;
class cl_AnimatedPatch;

// An item that exists only as backdrop patches (a lever, a flag, a fire): its look changes by playing
// named stretches of animated patches of the current scene and by switching visual states. An animation
// played for an initiator is stepped each frame (game time "default"): it fires its events to their
// listeners, follows up into its next animation and reports its end (0 played out, 1 stopped, 2 failed to
// start). One played without initiator only starts the patch, which plays on by itself.
class cl_PatchItem : public IGameTimeListener, public cl_VisualStateHolder
{
public:
    explicit cl_PatchItem(const std::string& id);
    // Stops what plays (result 1).
    ~cl_PatchItem() override;

    // Ends what plays (result 1), then starts the named animation; initiator (may be null) waits for its
    // end. An unknown name or a patch the current scene lacks: result 2.
    void PlayAnimation(const std::string& name, ISyncedActionInitiator* initiator);
    // The patch gets its earlier visibility back; the waiting initiator hears result 1.
    void StopAnimation();
    // Shows the record's patch at the start frame and starts it; false when the current scene has no
    // animated patch of that name.
    bool StartAnimation(const st_PatchAnimationProperties& properties);
    // The game-time step of a played animation.
    void Update(float dt) override;

    // Stores (or replaces) an animation; the loader reads them.
    st_PatchAnimationProperties& SetAnimation(const std::string& name,
                                              const st_PatchAnimationProperties& record);
    // Empties the animations, for a reload.
    void ClearAnimations();
    // Adds the event to that animation; unknown animations are ignored, an existing event keeps its time.
    void AddAnimationEvent(const std::string& animation, const std::string& event, float time);
    // key: "<animation>#<event>" (split at the first "#"). Unknown animations are ignored.
    void AddAnimationEventListener(const std::string& key, IPatchAnimationEventListener* listener);
    void RemoveAnimationEventListener(const std::string& key, IPatchAnimationEventListener* listener);

    const std::string& GetId() const { return m_id; }
    const std::map<std::string, st_PatchAnimationProperties>& GetAnimations() const { return m_animations; }
    // Null while nothing plays.
    const st_PatchAnimationProperties* GetCurrentAnimation() const { return m_current; }
    bool IsWaitedFor() const { return m_initiator != nullptr; }

    // The animated patch of that name of the current scene; null for none.
    static cl_AnimatedPatch* FindAnimatedPatch(const std::string& name);

private:
    // The patch gets its saved visibility back; nothing plays any more.
    void ReleasePatch();
    // ReleasePatch, off the game time, and the waiting initiator hears result.
    void Finish(int result);
    // Fires the events of the current animation lying in the window; false when a listener changed what
    // plays (the step then ends).
    bool FireEvents(float from, float to);
    void Listen(bool listen);
    // The animation of a listener key; null for none.
    st_PatchAnimationProperties* FindByKey(const std::string& key, std::string& event);

    std::string m_id;
    std::map<std::string, st_PatchAnimationProperties> m_animations;
    const st_PatchAnimationProperties* m_current = nullptr;
    cl_AnimatedPatch* m_patch = nullptr;
    float m_elapsed = 0.0f;
    bool m_savedVisibility = false;
    ISyncedActionInitiator* m_initiator = nullptr;
    bool m_listening = false;
    // Counts the starts and stops, so a step notices when a listener changed what plays.
    unsigned m_generation = 0;
};
