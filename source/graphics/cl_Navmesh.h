#pragma once

#include <OgreVector.h>

#include <string>
#include <vector>

// A walkable mesh of the loaded scene, owned by the scene. So far it keeps the local surface ids set on
// it, which the walk will read once there are paths.
class cl_Navmesh
{
public:
    // Surfaces inside the box (centre, half extents) take that surface id.
    struct LocalSurface
    {
        int surfaceId;
        Ogre::Vector3 centre;
        Ogre::Vector3 extents;
    };

    explicit cl_Navmesh(const std::string& name) : m_name(name) {}

    const std::string& GetName() const { return m_name; }

    void SetLocalSurfaceId(int surfaceId, const Ogre::Vector3& centre, const Ogre::Vector3& extents)
    {
        m_localSurfaces.push_back({surfaceId, centre, extents});
    }
    const std::vector<LocalSurface>& GetLocalSurfaces() const { return m_localSurfaces; }

private:
    std::string m_name;
    std::vector<LocalSurface> m_localSurfaces;
};
