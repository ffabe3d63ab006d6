#pragma once

#include "graphics/LinearFade.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TiXmlElement;
class cl_Puppet;
class cl_PuppetMainAnimation;
class cl_PuppetSlaveAnimation;

// A normalization group of a puppet: its members' animations receive their effective weights divided by
// the sum of the members' effective weights of this frame.
struct st_NormalizationGroup
{
    std::string name;
    float sum = 0.0f;
};

// A node of a puppet's animation weight tree: a weight fading toward a target, an optional main
// (skeleton) animation, one animation per slave object and named children. A node's effective weight is
// the product of the weights on its path from the root; nodes of one normalization group share their
// weight; a sync node keeps the animations below it in step.
class cl_PuppetAnimWeight
{
public:
    using Children = std::map<std::string, std::unique_ptr<cl_PuppetAnimWeight>, std::less<>>;

    // parent: null for a root.
    explicit cl_PuppetAnimWeight(cl_PuppetAnimWeight* parent);
    virtual ~cl_PuppetAnimWeight();
    cl_PuppetAnimWeight(const cl_PuppetAnimWeight&) = delete;
    cl_PuppetAnimWeight& operator=(const cl_PuppetAnimWeight&) = delete;

    // Reads a "weight" element into the node (adding to what it has): "value", "sync", "normalization",
    // its "animation" elements, "in", "out" and its child "weight" elements. False only for an element
    // of another name; a broken animation or child is logged and skipped.
    bool FromXml(const TiXmlElement& element, cl_Puppet& puppet);

    // time 0 jumps to target; a positive time fades linearly; a negative one fades over the node's own
    // fade-in or fade-out time.
    void SetTarget(float target, float time);
    // Runs the fade, computes the effective weights of the subtree and adds the group members' to their
    // groups' sums.
    virtual void Update(float dt);
    // Hands the animations of the subtree their weights and dt times the time scale.
    virtual void Apply(float dt);
    // Notes the earliest clock among the enabled animations of each sync subtree; run before Update.
    virtual void SyncTimes();

    // The main animation, created when missing; a second one is logged and the existing one returned.
    cl_PuppetMainAnimation& AddMainAnimation(cl_Puppet& puppet);
    // The same for the animation of a slave object.
    cl_PuppetSlaveAnimation& AddSlaveAnimation(const std::string& slave, cl_Puppet& puppet);
    cl_PuppetAnimWeight& GetOrCreateChild(std::string_view name);
    // The child at that place in name order; null outside 0 .. count - 1.
    cl_PuppetAnimWeight* GetChild(int index) const;
    const Children& GetChildren() const { return m_children; }
    cl_PuppetAnimWeight* GetParent() const { return m_parent; }
    // "/" + name below the parent's path; a root's path is empty.
    std::string GetPath() const;

    // The time of the main animation and every slave animation.
    void SetAnimationTimes(float time);
    // The sync time of the highest node reached by climbing through sync parents.
    float GetSyncTime() const;
    // Appends `anim name=path` when the node has a main animation, then the children's with their paths.
    void WriteAnimationList(const std::string& path, TiXmlElement& element) const;
    // The longest time left of a fade to 0 in the subtree; 0 when none runs.
    float GetFadeOutTime() const;
    // Writes the weights and animation states of the subtree; children at weight 0 are left out.
    void SaveState(TiXmlElement& element) const;

    cl_PuppetMainAnimation* GetMainAnimation() const { return m_mainAnimation.get(); }
    const std::map<std::string, std::unique_ptr<cl_PuppetSlaveAnimation>>& GetSlaveAnimations() const
    {
        return m_slaveAnimations;
    }
    // The weight the animations receive: effective weight / group sum within a group, else effective. A
    // group whose members are all at 0 (or were summed under another root) shares nothing out.
    float GetNormalizedWeight() const
    {
        if (!m_group)
            return m_effectiveWeight;
        return m_group->sum != 0.0f ? m_effectiveWeight / m_group->sum : 0.0f;
    }
    float GetValue() const { return m_value; }
    float GetEffectiveWeight() const { return m_effectiveWeight; }
    bool IsFading() const { return m_fade.IsRunning(); }
    // The target of the last SetTarget.
    float GetFadeTarget() const { return m_fade.GetTarget(); }
    bool IsSync() const { return m_sync; }
    float GetTimeScale() const { return m_timeScale; }
    void SetTimeScale(float scale) { m_timeScale = scale; }

private:
    // A sync node's whole subtree is sync, whatever the children's own data say.
    void MakeSync();
    // Notes that this node is sync in it and its ancestors: SyncTimes passes over subtrees without one,
    // whose sync times stay -1.
    void NoteSync();
    // A change below: the node and its ancestors are no longer at rest.
    void Wake();
    void ClearSyncTimes();
    void ReadAnimation(const TiXmlElement& element, cl_Puppet& puppet);

    Children m_children;
    // The children again, in name order: the frame's passes walk them without the map's pointer chase.
    std::vector<cl_PuppetAnimWeight*> m_ordered;
    cl_PuppetAnimWeight* m_parent;
    std::unique_ptr<cl_PuppetMainAnimation> m_mainAnimation;
    std::map<std::string, std::unique_ptr<cl_PuppetSlaveAnimation>> m_slaveAnimations;
    bool m_sync = false;
    bool m_syncInSubtree = false;
    // The subtree is at rest: at weight 0, nothing fading, every animation disabled with its weight applied.
    // Update and Apply pass over it while its weight stays 0, as they would change nothing there.
    bool m_resting = false;
    float m_timeScale = 1.0f;
    float m_value = 0.0f;
    float m_effectiveWeight = 0.0f;
    float m_syncTime = -1.0f;
    st_NormalizationGroup* m_group = nullptr;
    LinearFade m_fade;
    float m_fadeInTime = 0.0f;
    float m_fadeOutTime = 0.0f;
};
