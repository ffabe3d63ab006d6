#pragma once

#include <string>

class cl_Puppet;

// A named object of the loaded scene (a character or a scene item) with its puppet. So far only what the
// controllers need: objects registered by name, and their puppets.
class cl_SceneObject
{
public:
    // Registers under name while it lives; a name already taken keeps its first object. puppet: not
    // owned, may be null.
    cl_SceneObject(const std::string& name, cl_Puppet* puppet);
    ~cl_SceneObject();
    cl_SceneObject(const cl_SceneObject&) = delete;
    cl_SceneObject& operator=(const cl_SceneObject&) = delete;

    // The object registered under name, or null. The empty name and "avatar" stand for the current
    // character, which does not exist yet: null.
    static cl_SceneObject* ResolveByName(const std::string& name);

    // The object's puppet, or null for an object without one.
    cl_Puppet* GetPuppet() const { return m_puppet; }

private:
    std::string m_name;
    cl_Puppet* m_puppet;
};
