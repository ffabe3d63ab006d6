#pragma once

#include <map>
#include <string>

class TiXmlElement;
class cl_Argument;
class cl_FloatSource;

namespace Ogre
{
class SceneManager;
}

// The base of every scene effect (particles, compositors, reflections, light shafts, scene sounds): an
// id, a type word, an active flag and float sources bound to parameters. The effect manager creates,
// drives and destroys effects; the active flag changes only through SetActive, so SetEnabled runs only
// on a real change.
class cl_BaseEffect
{
public:
    // active: the flag an effect of the type starts with (SetEnabled is not called).
    cl_BaseEffect(const std::string& type, const std::string& id, bool active = true);
    // Does not unload: each effect unloads in its own destructor.
    virtual ~cl_BaseEffect();
    cl_BaseEffect(const cl_BaseEffect&) = delete;
    cl_BaseEffect& operator=(const cl_BaseEffect&) = delete;

    // "active" (exactly): active unless value is 0.0 (a NaN is active). Other names do nothing.
    virtual void SetParameter(const std::string& name, float value);
    // "active" (exactly): the argument's bool (another kind: its warning and false). Other names do
    // nothing.
    virtual void SetParameter(const std::string& name, const cl_Argument& value);
    // Every frame, with the "fx" time group's step.
    virtual void Update(float dt);
    // A scene change has begun; fadeTime: seconds until the curtain is black.
    virtual void OnSceneLeave(float fadeTime);
    // Reads the effect's element: the base binds each `floatsource` child (its text names the source,
    // its `target` the parameter). sceneManager: the current scene's.
    virtual void LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager);
    // Releases everything LoadFromXml built in the engine; a second call does nothing.
    virtual void Unload() = 0;
    // Binds the value-source manager's source of that name (null when it has none).
    virtual void BindFloatSource(const std::string& target, const std::string& sourceName);
    // Binds source, not owned (may be null), to target, in place of an earlier binding of target.
    virtual void BindFloatSource(const std::string& target, cl_FloatSource* source);
    // Switches the effect's output on or off in the engine.
    virtual void SetEnabled(bool enabled) = 0;

    // Stores active and calls SetEnabled(active) when it differs from the active flag; nothing otherwise.
    void SetActive(bool active);
    bool IsActive() const { return m_active; }
    const std::string& GetId() const { return m_id; }
    const std::string& GetType() const { return m_type; }
    // Target parameter -> source, in ascending byte order of the targets; a source may be null.
    const std::map<std::string, cl_FloatSource*>& GetFloatSourceBindings() const { return m_floatSources; }

private:
    bool m_active = true;
    std::string m_id;
    std::string m_type;
    std::map<std::string, cl_FloatSource*> m_floatSources;
};
