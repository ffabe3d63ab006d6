#pragma once

#include <cstdint>
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
    virtual ~cl_SceneObject();
    cl_SceneObject(const cl_SceneObject&) = delete;
    cl_SceneObject& operator=(const cl_SceneObject&) = delete;

    // The object registered under name, or null. The empty name and "avatar" stand for the game
    // components' current character (null when there is none).
    static cl_SceneObject* ResolveByName(const std::string& name);

    const std::string& GetName() const { return m_name; }
    // The object's puppet, or null for an object without one.
    cl_Puppet* GetPuppet() const { return m_puppet; }
    // Sets the OGRE query flags of every movable object of the puppet (ray queries pick only objects whose
    // flags share a bit with the query's mask); nothing without a puppet.
    void SetQueryFlags(uint32_t flags);

private:
    std::string m_name;
    cl_Puppet* m_puppet;
};
