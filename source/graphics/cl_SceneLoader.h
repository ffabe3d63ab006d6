#pragma once

#include <OgreColourValue.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace Ogre
{
class Entity;
class SceneNode;
} // namespace Ogre

class TiXmlElement;
class cl_Backdrop;
class cl_Scene;

// Turns a scene's `scene` element into the live location and takes it down again: the scene's values,
// the managers' parts (value sources, triggers, controllers, effects), its backdrops, its scene document
// (`osmdata`: nodes, entities by the prefix of their names, lights, helpers, ambient light, fog, shadows),
// its camera shots, its music and its start script. It keeps the quality level and constraints of the
// last load, which the scene document and the effects ask about.
//
// What is wrong with the data is logged with the scene's id and the element, and that element is left
// out; the rest loads.
class cl_SceneLoader
{
public:
    // Quality levels.
    static constexpr int QUALITY_LOW = 0;
    static constexpr int QUALITY_MID = 1;
    static constexpr int QUALITY_HIGH = 2;
    // The light mask bit that shadow lights share and shadow receivers carry alone.
    static constexpr uint32_t SHADOW_LIGHT_MASK = 0x80000000u;

    // A name allowed from min to max quality, both included.
    struct QualityConstraint
    {
        int min;
        int max;
    };

    // Loads scene (unloaded; its OGRE scene manager and camera set, the scene manager's loaded scene)
    // from its element at the quality level, activates the named backdrop, places the current character
    // unless this is a reload, sets up shadows, activates the scene and runs its `initscript`.
    void LoadScene(cl_Scene& scene, int qualityLevel, bool reload, const std::string& backdropName);
    // Runs the `exitscript`, and takes everything the load built down; the scene forgets its OGRE scene
    // manager and camera. keepCharacters (a reload in place): characters and items stay where they are
    // and the camera keeps its shot for the next load. A scene that is not loaded is left alone.
    void UnloadScene(cl_Scene& scene, bool keepCharacters);
    // Reloads the scene loaded last in place at the quality level: from a copy of element when one is
    // given, on the backdrop that was active. Nothing when no scene was loaded.
    void ReloadScene(const TiXmlElement* element, int qualityLevel);
    // Whether the name may exist at the current quality: always without a constraint of that name.
    bool IsAllowedByQuality(const std::string& name) const;

    // Reads a scene document under root; recursively its includes first. Nothing for a null element or
    // root.
    void LoadOsmData(const TiXmlElement* element, Ogre::SceneNode* root);
    // The node of a node element: prefix + name (prefix + its `name` when name is empty; none without
    // either), found or made below its `parent` (made below the scene root when missing) or the scene root;
    // then its `position`, `rotation`, `scale` and node `animations`. Null without a name.
    Ogre::SceneNode* CreateNode(const TiXmlElement& element, const std::string& prefix,
                                const std::string& name);
    // The lights of a `lights` element, each with a light mask bit of its own; shadow lights
    // ("shadowlight_", "slx_") share SHADOW_LIGHT_MASK and are thinned by quality.
    void LoadLights(const TiXmlElement& lights);
    // The quality rule for one light: its constraint, else none at low quality and one at "mid".
    bool IsLightAllowed(const TiXmlElement& light, bool shadowLight) const;
    // Texture shadows with the caster of the scene's technique, when the document asked for shadow
    // textures at this quality and used one technique.
    void InitShadows();

    // A value element: x, y, z (and w); r, g, b and an optional a (1). False, with value untouched, when
    // one of the attributes is missing or no number, and for a quaternion of length 0.
    static bool ReadVector3(const TiXmlElement& element, Ogre::Vector3& value);
    static bool ReadQuaternion(const TiXmlElement& element, Ogre::Quaternion& value);
    static bool ReadColour(const TiXmlElement& element, Ogre::ColourValue& value);

    int GetQualityLevel() const { return m_qualityLevel; }
    const std::map<std::string, QualityConstraint>& GetQualityConstraints() const { return m_constraints; }
    bool HasDepthShadows() const { return m_depthShadows; }
    bool HasExtendedDepthShadows() const { return m_extendedDepthShadows; }
    // The light mask the next plain light gets.
    uint32_t GetLightBit() const { return m_lightBit; }
    int GetShadowTextureSize() const { return m_shadowTextureSize; }
    int GetShadowTextureCount() const { return m_shadowTextureCount; }

private:
    // The scene element's parts, in the order they are read.
    void LoadExit(const TiXmlElement& definition);
    void LoadClickObjects(const TiXmlElement& definition);
    void LoadEnvironment(const TiXmlElement& definition);
    void LoadQuality(const TiXmlElement& definition);
    void createBackdrop(const TiXmlElement& element);
    void LoadBackdropChild(cl_Backdrop& backdrop, const TiXmlElement& child);
    void LoadShots(const TiXmlElement& shots);
    void LoadSound(const TiXmlElement& sound);
    void PlaceCurrentCharacter();
    void RunScript(const char* name) const;

    // The scene document's parts.
    void LoadInclude(const TiXmlElement& include, Ogre::SceneNode* root);
    void LoadCameras(const TiXmlElement& cameras);
    void LoadEntities(const TiXmlElement& entities);
    void LoadEntity(const TiXmlElement& element);
    // The entity of the element, or null (logged) when OGRE cannot make it.
    Ogre::Entity* CreateEntity(const TiXmlElement& element);
    void LoadClickGeometry(const TiXmlElement& element, Ogre::Entity& entity, bool walkable);
    void LoadShadowReceiver(const TiXmlElement& element, Ogre::Entity& entity, bool extended);
    // The extended receiver material, cloned for the entity, with the entity's own texture in it.
    void GiveOwnReceiver(const TiXmlElement& element, Ogre::Entity& entity);
    void LoadEnvironmentMesh(const TiXmlElement& element, bool surface);
    void LoadProperties(const TiXmlElement& element, Ogre::Entity& entity) const;
    void LoadNodeAnimations(const TiXmlElement& animations, Ogre::SceneNode& node);
    void loadHelpers(const TiXmlElement& helpers);
    void LoadHelper(const TiXmlElement& element);
    void LoadLight(const TiXmlElement& element);
    void LoadShadowTechnique(const TiXmlElement& shadowTechnique);
    void LoadFog(const TiXmlElement& fog);
    // The material on every sub-entity; false (logged) when it does not exist.
    bool SetMaterial(Ogre::Entity& entity, const std::string& material, const TiXmlElement& element) const;
    // The node of that name, found, or else made below parent (and then destroyed with the location);
    // created tells which.
    Ogre::SceneNode* FindOrCreateNode(const std::string& name, Ogre::SceneNode& parent, bool& created);

    // The element's required text attribute; logs (naming scene and element) and gives false without it.
    bool Required(const TiXmlElement& element, const char* attribute, std::string& value) const;
    // The same for a required value element child.
    bool Required(const TiXmlElement& element, const char* child, Ogre::Vector3& value) const;
    bool Required(const TiXmlElement& element, const char* child, Ogre::Quaternion& value) const;
    // Logs an error about the element, naming the scene and the element.
    void Refuse(const TiXmlElement& element, const std::string& why) const;
    // The same for an element that OGRE refused, what being the exception's text.
    void RefuseBroken(const TiXmlElement& element, const char* what) const;

    cl_Scene* m_scene = nullptr;
    int m_qualityLevel = QUALITY_LOW;
    std::map<std::string, QualityConstraint> m_constraints;
    bool m_depthShadows = false;
    bool m_extendedDepthShadows = false;
    uint32_t m_lightBit = 1;
    int m_shadowTextureSize = 0;
    int m_shadowTextureCount = 0;
    Ogre::SceneNode* m_root = nullptr;
    // The includes being read, so that one that includes itself stops.
    std::set<std::string> m_includes;
};
