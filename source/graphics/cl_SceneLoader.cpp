#include "graphics/cl_SceneLoader.h"

#include "assets/cl_GameState.h"
#include "assets/cl_SceneAsset.h"
#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "common/cl_ControllerManager.h"
#include "common/cl_GameTime.h"
#include "common/cl_ScriptSystem.h"
#include "common/cl_ValueSourceManager.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_EffectManager.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_ShotGenerator.h"
#include "graphics/cl_ShotGeneratorFactory.h"
#include "graphics/cl_TriggerManager.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreLight.h>
#include <OgreMaterialManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreTechnique.h>
#include <OgreTextureManager.h>
#include <OgreTextureUnitState.h>
#include <tinyxml.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <exception>
#include <vector>

namespace
{
const char* const DEBUG_GROUP = "debug";
const char* const DEPTH_CASTER = "Tarq/DepthShadowmap/Caster";
const char* const DEPTH_RECEIVER = "Tarq/DepthShadowmap/Receiver";
const char* const EXTENDED_CASTER = "Tarq/DepthShadowMapEx/Caster";
const char* const EXTENDED_RECEIVER = "Tarq/DepthShadowMapEx/Receiver";
const Ogre::uint8 SHADOW_RECEIVER_QUEUE = 80;
const int NO_RENDER_QUEUE_NUMBER = 50;
const uint32_t AMBIENT_LIGHT_MASK = 0x7FFFFFFFu;
const char* const PATCH_ELEMENTS[] = {"patch", "animatedpatch", "foregroundpatch", "scenepatch",
                                      "lightpatch"};
// Helpers whose node is turned a quarter round its own Y axis.
const char* const TURNED_HELPERS[] = {"ap_", "sp_", "positions_characters_", "op_"};

// A number cut toward zero and held within the range of an int.
int Truncated(float number)
{
    if (number >= static_cast<float>(INT_MAX))
        return INT_MAX;
    if (number <= static_cast<float>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(number);
}

// "entity 'ao_pillar'": the element's tag and, when it has one, its name.
std::string Describe(const TiXmlElement& element)
{
    const char* name = element.Attribute("name");
    return name ? Format("%s '%s'", element.Value(), name) : Format("'%s'", element.Value());
}

// Reads the attributes' numbers, in their order, into numbers; false when one is missing or no number.
template <size_t Count>
bool ReadNumbers(const TiXmlElement& element, const char* const (&names)[Count], float (&numbers)[Count])
{
    for (size_t i = 0; i < Count; ++i)
    {
        const char* text = element.Attribute(names[i]);
        if (!text || !ReadNumber(text, numbers[i]))
            return false;
    }
    return true;
}

Ogre::SceneManager& SceneManagerOf(const cl_Scene& scene)
{
    return *scene.GetSceneManager();
}

// Reads every child element of parent with read; an exception (OGRE throws for missing or repeated names)
// ends only that child, and failed(child, text of the exception) reports it.
template <class Read, class Failed>
void EachChild(const TiXmlElement& parent, const Read& read, const Failed& failed)
{
    for (const TiXmlElement* child = parent.FirstChildElement(); child; child = child->NextSiblingElement())
    {
        try
        {
            read(*child);
        }
        catch (const std::exception& exception)
        {
            failed(*child, exception.what());
        }
    }
}

// What an entity of the scene document is, by the prefix of its name.
enum class EntityKind
{
    Surface,
    Navigation,
    ClickObject,
    ClickMesh,
    Ambient,
    ShadowReceiver,
    ExtendedShadowReceiver,
    Placement,
};

EntityKind KindOf(const std::string& name)
{
    // "smx_" does not start with "sm_".
    static const struct
    {
        const char* prefix;
        EntityKind kind;
    } PREFIXES[] = {
        {"em_", EntityKind::Surface},        {"nm_", EntityKind::Navigation},
        {"co_", EntityKind::ClickObject},    {"cm_", EntityKind::ClickMesh},
        {"ao_", EntityKind::Ambient},        {"Box", EntityKind::Ambient},
        {"sm_", EntityKind::ShadowReceiver}, {"smx_", EntityKind::ExtendedShadowReceiver},
    };
    for (const auto& prefix : PREFIXES)
    {
        if (StartsWith(name, prefix.prefix))
            return prefix.kind;
    }
    return EntityKind::Placement;
}

// Whether node lies in the subtree below ancestor (ancestor itself included).
bool IsBelow(const Ogre::Node* node, const Ogre::Node* ancestor)
{
    for (; node; node = node->getParent())
    {
        if (node == ancestor)
            return true;
    }
    return false;
}

// The two materials that show click geometry in the debug view, made once a run.
void CreateDebugMaterials()
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    if (groups.resourceGroupExists(DEBUG_GROUP))
        return;
    groups.createResourceGroup(DEBUG_GROUP);
    const struct
    {
        const char* name;
        Ogre::ColourValue ambient;
    } materials[] = {{"clickObjectMat", Ogre::ColourValue(1.0f, 0.0f, 0.0f)},
                     {"clickMeshMat", Ogre::ColourValue(0.5f, 0.0f, 0.0f)}};
    for (const auto& material : materials)
    {
        try
        {
            Ogre::MaterialPtr made = Ogre::MaterialManager::getSingleton().create(material.name, DEBUG_GROUP);
            made->getTechnique(0)->getPass(0)->setAmbient(material.ambient);
        }
        catch (const Ogre::Exception& exception)
        {
            LOG_ERROR("The debug material '%s' cannot be made: %s", material.name,
                      exception.getDescription().c_str());
        }
    }
}

// Ogre's render queues end at RENDER_QUEUE_MAX; data may ask for any number.
Ogre::uint8 RenderQueue(int group)
{
    if (group < 0 || group > Ogre::RENDER_QUEUE_MAX)
    {
        LOG_WARNING("Render queue %i does not exist; %i is used.", group,
                    static_cast<int>(Ogre::RENDER_QUEUE_MAX));
        return Ogre::RENDER_QUEUE_MAX;
    }
    return static_cast<Ogre::uint8>(group);
}

// The name of the first texture of the material of the entity's first sub-entity; empty for none.
std::string FirstTexture(const Ogre::Entity& entity)
{
    if (entity.getNumSubEntities() == 0)
        return std::string();
    const Ogre::MaterialPtr& material = entity.getSubEntity(0)->getMaterial();
    const Ogre::Technique* technique = material ? material->getTechnique(0) : nullptr;
    const Ogre::Pass* pass = technique && technique->getNumPasses() > 0 ? technique->getPass(0) : nullptr;
    const Ogre::TextureUnitState* unit =
        pass && pass->getNumTextureUnitStates() > 0 ? pass->getTextureUnitState(0) : nullptr;
    return unit ? unit->getTextureName() : std::string();
}
} // namespace

void cl_SceneLoader::LoadScene(cl_Scene& scene, int qualityLevel, bool reload,
                               const std::string& backdropName)
{
    const uint32_t start = cl_GameTime::CurrentMilliseconds();
    m_scene = &scene;
    m_qualityLevel = qualityLevel;
    m_depthShadows = false;
    m_extendedDepthShadows = false;
    m_shadowTextureSize = 0;
    m_shadowTextureCount = 0;
    m_lightBit = 1;
    if (!scene.GetSceneManager())
    {
        LOG_ERROR("The scene '%s' has no OGRE scene manager to be built in.", scene.GetId().c_str());
        return;
    }
    CreateDebugMaterials();

    const TiXmlElement& definition = scene.GetDefinition();
    LoadExit(definition);
    LoadClickObjects(definition);
    LoadEnvironment(definition);
    LoadQuality(definition);
    if (cl_ValueSourceManager* valueSources = cl_ValueSourceManager::GetInstance())
        valueSources->LoadFromXml(definition.FirstChildElement("valuesources"));
    if (cl_TriggerManager* triggers = cl_TriggerManager::GetInstance())
        triggers->LoadFromXml(definition.FirstChildElement("triggers"));
    for (const TiXmlElement* backdrop = definition.FirstChildElement("backdrop"); backdrop;
         backdrop = backdrop->NextSiblingElement("backdrop"))
        createBackdrop(*backdrop);
    LoadOsmData(definition.FirstChildElement("osmdata"), scene.GetSceneRoot());
    if (const TiXmlElement* shots = definition.FirstChildElement("shots"))
        LoadShots(*shots);
    if (cl_ControllerManager* controllers = cl_ControllerManager::GetInstance())
        controllers->LoadFromXml(scene.GetSceneManager(), definition.FirstChildElement("controller"));
    if (cl_EffectManager* effects = cl_EffectManager::GetInstance())
        effects->LoadEffects(
            definition.FirstChildElement("effects"),
            [this](const std::string& id) { return IsAllowedByQuality(id); }, scene.GetSceneManager());
    if (const TiXmlElement* sound = definition.FirstChildElement("sound"))
        LoadSound(*sound);

    scene.ActivateBackdrop(backdropName);
    if (cl_Camera* camera = cl_Camera::GetInstance())
        camera->InitScene(scene.GetCamera());
    if (!reload)
        PlaceCurrentCharacter();
    InitShadows();
    scene.Activate();
    LOG_INFO("Loading Scene took %i ms", static_cast<int>(cl_GameTime::CurrentMilliseconds() - start));
    RunScript("initscript");
}

void cl_SceneLoader::UnloadScene(cl_Scene& scene, bool keepCharacters)
{
    Ogre::SceneManager* sceneManager = scene.GetSceneManager();
    if (!sceneManager)
        return;
    m_scene = &scene;
    RunScript("exitscript");
    // Items stay built (and on a reload placed): what they play must not outlive the nodes and patches.
    if (cl_ItemManager* items = cl_ItemManager::GetInstance())
        items->StopItemAnimations();
    sceneManager->setShadowTechnique(Ogre::SHADOWTYPE_NONE);
    scene.Deactivate();
    cl_Camera* camera = cl_Camera::GetInstance();
    if (!keepCharacters)
    {
        if (cl_CharacterManager* characters = cl_CharacterManager::GetInstance())
            characters->RemoveAllFromScene();
        if (cl_ItemManager* items = cl_ItemManager::GetInstance())
            items->RemoveAllFromScene();
    }
    else if (camera)
    {
        const std::string& generator = camera->GetGeneratorName();
        camera->SetPendingShotName(generator.empty() ? camera->GetStaticShotName() : generator);
    }
    if (camera)
        camera->Reset();
    scene.ClearClickObjects();
    scene.DestroyBackdrops();
    sceneManager->setFog(Ogre::FOG_NONE, Ogre::ColourValue::White, 0.001f, 0.0f, 1.0f);
    scene.DestroyLights();

    const TiXmlElement& definition = scene.GetDefinition();
    if (cl_ValueSourceManager* valueSources = cl_ValueSourceManager::GetInstance())
        valueSources->RemoveByXml(definition.FirstChildElement("valuesources"));
    if (cl_ControllerManager* controllers = cl_ControllerManager::GetInstance())
        controllers->RemoveByXml(definition.FirstChildElement("controller"));
    if (cl_TriggerManager* triggers = cl_TriggerManager::GetInstance())
        triggers->RemoveByXml(definition.FirstChildElement("triggers"));
    if (cl_EffectManager* effects = cl_EffectManager::GetInstance())
        effects->UnloadEffects(definition.FirstChildElement("effects"));

    scene.DestroyEntities();
    scene.DestroyNodes();
    if (const cl_SceneAsset* asset = scene.GetAsset())
    {
        std::vector<const TiXmlElement*> sceneObjects;
        asset->GetSceneObjects(sceneObjects);
        for (const TiXmlElement* sceneObject : sceneObjects)
        {
            if (const char* location = sceneObject->Attribute("locationref"))
            {
                scene.DestroyNode(location);
                scene.DestroyNode(Format("co_%s", location));
            }
        }
    }
    scene.GetEnvironmentParameters() = SceneEnvironmentParameters();
    scene.SetOverlay(false);
    scene.SetExitArmed(false);
    scene.SetSceneManager(nullptr);
    scene.SetCamera(nullptr);
}

void cl_SceneLoader::ReloadScene(const TiXmlElement* element, int qualityLevel)
{
    if (!m_scene || !m_scene->GetSceneManager())
        return;
    cl_Scene& scene = *m_scene;
    Ogre::SceneManager* sceneManager = scene.GetSceneManager();
    Ogre::Camera* camera = scene.GetCamera();
    const std::string backdrop = scene.GetActiveBackdropName();
    UnloadScene(scene, true);
    if (element)
        scene.SetDefinition(*element);
    scene.SetSceneManager(sceneManager);
    scene.SetCamera(camera);
    LoadScene(scene, qualityLevel, true, backdrop);
}

bool cl_SceneLoader::IsAllowedByQuality(const std::string& name) const
{
    const auto found = m_constraints.find(name);
    return found == m_constraints.end() ||
           (found->second.min <= m_qualityLevel && m_qualityLevel <= found->second.max);
}

void cl_SceneLoader::LoadExit(const TiXmlElement& definition)
{
    m_scene->SetOverlay(TextAttribute(definition, "isOverlay", "") == "true");
    m_scene->SetExitArmed(false);
    const TiXmlElement* exit = definition.FirstChildElement("exit");
    std::string target;
    if (exit && TextAttribute(*exit, "type", "") == "border" && Required(*exit, "target", target))
    {
        m_scene->SetExitArmed(true);
        m_scene->SetExitTarget(target);
    }
}

void cl_SceneLoader::LoadClickObjects(const TiXmlElement& definition)
{
    const TiXmlElement* clickObjects = definition.FirstChildElement("clickobjects");
    for (const TiXmlElement* clickObject = clickObjects ? clickObjects->FirstChildElement("clickobject")
                                                        : nullptr;
         clickObject; clickObject = clickObject->NextSiblingElement("clickobject"))
    {
        std::string name, position, asset;
        if (Required(*clickObject, "name", name) && Required(*clickObject, "position", position) &&
            Required(*clickObject, "asset", asset))
            m_scene->SetClickObject(asset + position, name);
    }
}

void cl_SceneLoader::LoadEnvironment(const TiXmlElement& definition)
{
    SceneEnvironmentParameters& parameters = m_scene->GetEnvironmentParameters();
    parameters = SceneEnvironmentParameters();
    const TiXmlElement* environment = definition.FirstChildElement("environment");
    if (!environment)
        return;
    const std::string type = TextAttribute(*environment, "type", "");
    if (type == "narrow")
        parameters.type = ENVIRONMENT_NARROW;
    else if (type == "tight")
        parameters.type = ENVIRONMENT_TIGHT;
    parameters.navmeshRim = NumberAttribute(*environment, "navmeshrim", 0.0f);
    parameters.surface = Truncated(NumberAttribute(*environment, "surface", 0.0f));
    if (const char* running = environment->Attribute("running"))
        parameters.running = std::string(running) == "true" ? 1.0f : 0.0f;
}

void cl_SceneLoader::LoadQuality(const TiXmlElement& definition)
{
    m_constraints.clear();
    const TiXmlElement* quality = definition.FirstChildElement("quality");
    for (const TiXmlElement* constraint = quality ? quality->FirstChildElement("constraint") : nullptr;
         constraint; constraint = constraint->NextSiblingElement("constraint"))
    {
        std::string name, min, max;
        if (Required(*constraint, "name", name) && Required(*constraint, "min", min) &&
            Required(*constraint, "max", max))
            m_constraints[name] = {IntegerAttribute(*constraint, "min", 0),
                                   IntegerAttribute(*constraint, "max", 0)};
    }
}

void cl_SceneLoader::createBackdrop(const TiXmlElement& element)
{
    std::string name, camera, width, height;
    if (!Required(element, "name", name) || !Required(element, "width", width) ||
        !Required(element, "height", height) || !Required(element, "cam", camera))
        return;
    cl_Backdrop* backdrop = m_scene->AddBackdrop(std::make_unique<cl_Backdrop>(
        NumberAttribute(element, "width", 0.0f), NumberAttribute(element, "height", 0.0f), name));
    if (!backdrop->Init(m_scene->GetSceneRoot(), m_scene->GetSceneManager(), camera,
                        TextAttribute(element, "fov", "") == "horizontal"))
    {
        Refuse(element, "the scene has no node '_game' to hang it under; it stays empty");
        return;
    }
    backdrop->SetNearClipDistance(NumberAttribute(element, "nearClipDistance", 5.0f));
    backdrop->SetFarClipDistance(NumberAttribute(element, "farClipDistance", 100000.0f));
    // Every child, whatever it was, lets the game time's listeners show it at once.
    const auto zeroStep = []
    {
        if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
            gameTime->NotifyZeroStep();
    };
    EachChild(
        element,
        [&](const TiXmlElement& child)
        {
            LoadBackdropChild(*backdrop, child);
            zeroStep();
        },
        [&](const TiXmlElement& child, const char* what)
        {
            RefuseBroken(child, what);
            zeroStep();
        });
}

void cl_SceneLoader::LoadBackdropChild(cl_Backdrop& backdrop, const TiXmlElement& child)
{
    const std::string kind = child.ValueStr();
    if (kind == "script" && child.Attribute("event") && child.GetText())
    {
        backdrop.SetHook(child.Attribute("event"), child.GetText());
        return;
    }
    for (const char* patchElement : PATCH_ELEMENTS)
    {
        if (kind != patchElement)
            continue;
        cl_Patch* patch = backdrop.LoadPatch(child);
        if (patch && child.Attribute("id"))
            m_scene->AddPatch(child.Attribute("id"), patch);
        return;
    }
    LOG_WARNING("Backdrop contains unknown childs!");
}

void cl_SceneLoader::LoadShots(const TiXmlElement& shots)
{
    cl_Camera* camera = cl_Camera::GetInstance();
    if (!camera)
        return;
    for (const TiXmlElement* shot = shots.FirstChildElement("shot"); shot;
         shot = shot->NextSiblingElement("shot"))
    {
        std::string name, x, y, z;
        if (!Required(*shot, "name", name) || !Required(*shot, "x", x) || !Required(*shot, "y", y) ||
            !Required(*shot, "z", z))
            continue;
        camera->AddShot(name,
                        Ogre::Vector3(NumberAttribute(*shot, "x", 0.0f), NumberAttribute(*shot, "y", 0.0f),
                                      NumberAttribute(*shot, "z", 0.0f)),
                        NumberAttribute(*shot, "zoom", 1.0f), NumberAttribute(*shot, "rotation", 0.0f),
                        TextAttribute(*shot, "backdrop", "default"));
    }
    for (const TiXmlElement* activator = shots.FirstChildElement("shotactivator"); activator;
         activator = activator->NextSiblingElement("shotactivator"))
    {
        std::string type, name;
        if (!Required(*activator, "type", type) || !Required(*activator, "name", name))
            continue;
        if (std::unique_ptr<cl_ShotGenerator> generator = cl_ShotGeneratorFactory::Create(*activator))
            camera->AddShotGenerator(name, std::move(generator));
    }
}

void cl_SceneLoader::LoadSound(const TiXmlElement& sound)
{
    cl_Sound* sounds = cl_Sound::GetInstance();
    if (!sounds)
        return;
    const float fadeTime = 1.0f;
    const TiXmlElement* music = sound.FirstChildElement("music");
    std::string name;
    if (!music)
        sounds->GetMixer().PlayMusic("", fadeTime, false, true);
    else if (Required(*music, "name", name))
        sounds->GetMixer().PlayMusic(name, fadeTime, TextAttribute(*music, "loop", "") == "true", true);
}

void cl_SceneLoader::PlaceCurrentCharacter()
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    if (!gameState)
        return;
    const std::string id = gameState->GetCurrentCharacterId();
    const cl_SceneAsset* asset = m_scene->GetAsset();
    if (cl_CharacterManager* characters = cl_CharacterManager::GetInstance())
        characters->AddCharacter(id, asset ? asset->FindObjectLocation(id) : std::string());
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->SetCurrentCharacter(id);
}

void cl_SceneLoader::RunScript(const char* name) const
{
    const TiXmlElement* script = m_scene->GetDefinition().FirstChildElement(name);
    cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance();
    if (script && script->GetText() && scripts)
        scripts->ExecuteString(script->GetText());
}

void cl_SceneLoader::LoadOsmData(const TiXmlElement* element, Ogre::SceneNode* root)
{
    if (!element || !root || !m_scene)
        return;
    Ogre::SceneNode* outerRoot = m_root;
    m_root = root;
    for (const TiXmlElement* include = element->FirstChildElement("include"); include;
         include = include->NextSiblingElement("include"))
        LoadInclude(*include, root);
    if (const TiXmlElement* cameras = element->FirstChildElement("cameras"))
        LoadCameras(*cameras);
    if (const TiXmlElement* entities = element->FirstChildElement("entities"))
        LoadEntities(*entities);
    if (const TiXmlElement* lights = element->FirstChildElement("lights"))
        LoadLights(*lights);
    if (const TiXmlElement* helpers = element->FirstChildElement("helpers"))
        loadHelpers(*helpers);
    Ogre::ColourValue ambient;
    if (const TiXmlElement* lightColor = element->FirstChildElement("lightColor"))
    {
        if (ReadColour(*lightColor, ambient))
            SceneManagerOf(*m_scene).setAmbientLight(ambient);
        else
            Refuse(*lightColor, "needs the numbers r, g and b; the ambient light stays");
    }
    if (const TiXmlElement* shadowTechnique = element->FirstChildElement("shadowTechnique"))
        LoadShadowTechnique(*shadowTechnique);
    if (const TiXmlElement* fog = element->FirstChildElement("fogMode"))
        LoadFog(*fog);
    m_root = outerRoot;
}

void cl_SceneLoader::LoadInclude(const TiXmlElement& include, Ogre::SceneNode* root)
{
    std::string source;
    if (!Required(include, "src", source))
        return;
    if (m_includes.count(source))
    {
        Refuse(include, Format("'%s' includes itself; left out", source.c_str()));
        return;
    }
    TiXmlDocument document;
    if (!OpenGameDataResource(source, document))
    {
        Refuse(include, Format("'%s' cannot be read; left out", source.c_str()));
        return;
    }
    if (document.Error())
    {
        Refuse(include, Format("'%s' is broken (%s, line %i); left out", source.c_str(), document.ErrorDesc(),
                               document.ErrorRow()));
        return;
    }
    m_includes.insert(source);
    LoadOsmData(document.RootElement(), root);
    m_includes.erase(source);
}

void cl_SceneLoader::LoadCameras(const TiXmlElement& cameras)
{
    for (const TiXmlElement* camera = cameras.FirstChildElement("camera"); camera;
         camera = camera->NextSiblingElement("camera"))
    {
        std::string name, fieldOfView;
        Ogre::Vector3 position;
        Ogre::Quaternion rotation;
        if (!Required(*camera, "name", name) || !Required(*camera, "FOV", fieldOfView) ||
            !Required(*camera, "position", position) || !Required(*camera, "rotation", rotation))
            continue;
        // Without a tilting the picture plane faces the camera: its axes are the camera's turned around.
        Ogre::Quaternion tilting(-(rotation * Ogre::Vector3::UNIT_X), -(rotation * Ogre::Vector3::UNIT_Z),
                                 -(rotation * Ogre::Vector3::UNIT_Y));
        if (camera->FirstChildElement("tilting") && !Required(*camera, "tilting", tilting))
            continue;
        Ogre::Vector3 target = position + rotation * Ogre::Vector3(0.0f, -100.0f, 0.0f);
        const TiXmlElement* targetElement = camera->FirstChildElement("target");
        if (targetElement && !Required(*targetElement, "position", target))
            continue;
        for (const auto& backdrop : m_scene->GetBackdrops())
        {
            if (backdrop.second->GetCameraName() == name)
                backdrop.second->SetCamera(m_scene->GetCamera(), position, target,
                                           NumberAttribute(*camera, "FOV", 0.0f), rotation, tilting);
        }
    }
}

void cl_SceneLoader::LoadEntities(const TiXmlElement& entities)
{
    EachChild(
        entities, [this](const TiXmlElement& element) { LoadEntity(element); },
        [this](const TiXmlElement& element, const char* what) { RefuseBroken(element, what); });
}

void cl_SceneLoader::LoadEntity(const TiXmlElement& element)
{
    std::string name;
    if (!Required(element, "name", name))
        return;
    const EntityKind kind = KindOf(name);
    if (kind == EntityKind::Surface || kind == EntityKind::Navigation)
    {
        LoadEnvironmentMesh(element, kind == EntityKind::Surface);
        return;
    }
    if (kind == EntityKind::Placement)
    {
        CreateNode(element, "positions_", name);
        return;
    }
    if (kind == EntityKind::Ambient && m_constraints.count(name) && !IsAllowedByQuality(name))
        return;
    if (kind == EntityKind::ExtendedShadowReceiver)
        m_extendedDepthShadows = true;
    Ogre::Entity* entity = CreateEntity(element);
    if (!entity)
        return;
    switch (kind)
    {
    case EntityKind::ClickObject:
    case EntityKind::ClickMesh:
        LoadClickGeometry(element, *entity, kind == EntityKind::ClickMesh);
        break;
    case EntityKind::Ambient:
        m_scene->AddAmbientEntity(entity);
        entity->setLightMask(AMBIENT_LIGHT_MASK);
        entity->setCastShadows(false);
        entity->setQueryFlags(cl_Scene::QUERY_AMBIENT);
        CreateNode(element, "", "")->attachObject(entity);
        break;
    default:
        LoadShadowReceiver(element, *entity, kind == EntityKind::ExtendedShadowReceiver);
        break;
    }
    LoadProperties(element, *entity);
}

Ogre::Entity* cl_SceneLoader::CreateEntity(const TiXmlElement& element)
{
    std::string file;
    if (!Required(element, "filename", file))
        return nullptr;
    return SceneManagerOf(*m_scene).createEntity(element.Attribute("name"), file, Ogre::RGN_AUTODETECT);
}

void cl_SceneLoader::LoadClickGeometry(const TiXmlElement& element, Ogre::Entity& entity, bool walkable)
{
    m_scene->AddClickGeometry(&entity);
    entity.setCastShadows(false);
    entity.setVisible(false);
    const std::string shortName = entity.getName().substr(3);
    Ogre::SceneNode* node = CreateNode(element, "co_positions_", shortName);
    const std::string placement = "positions_" + shortName;
    if (!m_scene->GetNodes().count(placement))
        m_scene->SetNode(placement, CreateNode(element, "positions_", shortName));
    if (walkable)
    {
        entity.setQueryFlags(cl_Scene::QUERY_WALKABLE);
        SetMaterial(entity, "clickMeshMat", element);
        node->attachObject(&entity);
    }
    else
    {
        // Attached when an item is placed at the click object's location.
        entity.setQueryFlags(cl_Scene::QUERY_CLICK_OBJECT);
        SetMaterial(entity, "clickObjectMat", element);
    }
}

void cl_SceneLoader::LoadShadowReceiver(const TiXmlElement& element, Ogre::Entity& entity, bool extended)
{
    m_scene->AddShadowReceiver(&entity);
    entity.setQueryFlags(0);
    if (extended)
        GiveOwnReceiver(element, entity);
    else
        SetMaterial(entity, DEPTH_RECEIVER, element);
    entity.setRenderQueueGroup(SHADOW_RECEIVER_QUEUE);
    entity.setCastShadows(false);
    entity.setLightMask(SHADOW_LIGHT_MASK);
    CreateNode(element, "", "")->attachObject(&entity);
}

void cl_SceneLoader::GiveOwnReceiver(const TiXmlElement& element, Ogre::Entity& entity)
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    const Ogre::MaterialPtr receiver = materials.getByName(EXTENDED_RECEIVER, Ogre::RGN_AUTODETECT);
    if (!receiver)
    {
        Refuse(element, Format("the material '%s' does not exist", EXTENDED_RECEIVER));
        return;
    }
    // Shared, the receiver would show the texture of the last entity on all of them. The copy joins the
    // group of the entity's own material, where its texture is found.
    const std::string texture = FirstTexture(entity);
    const std::string group = entity.getNumSubEntities() > 0 && entity.getSubEntity(0)->getMaterial()
                                  ? entity.getSubEntity(0)->getMaterial()->getGroup()
                                  : receiver->getGroup();
    const std::string own = std::string(EXTENDED_RECEIVER) + "/" + entity.getName();
    if (const Ogre::MaterialPtr old = materials.getByName(own, Ogre::RGN_AUTODETECT))
        materials.remove(old);
    const Ogre::MaterialPtr material = receiver->clone(own, true, group);
    m_scene->AddDocumentMaterial(own);
    entity.setMaterial(material);
    Ogre::Technique* technique = material->getTechnique(0);
    Ogre::Pass* pass = technique && technique->getNumPasses() > 1 ? technique->getPass(1) : nullptr;
    if (texture.empty())
        Refuse(element, "its own material has no texture to show on the shadow receiver");
    else if (!pass || pass->getNumTextureUnitStates() < 2)
        Refuse(element, Format("the material '%s' has no second texture in its second pass for '%s'",
                               EXTENDED_RECEIVER, texture.c_str()));
    else
        pass->getTextureUnitState(1)->setTextureName(texture, Ogre::TEX_TYPE_2D);
}

void cl_SceneLoader::LoadEnvironmentMesh(const TiXmlElement& element, bool surface)
{
    std::string file;
    Ogre::Vector3 position, scale;
    Ogre::Quaternion rotation;
    if (!Required(element, "filename", file) || !Required(element, "position", position) ||
        !Required(element, "rotation", rotation) || !Required(element, "scale", scale))
        return;
    if (!surface)
    {
        m_scene->AddEnvironment(file, position, scale, rotation);
        return;
    }
    cl_Navmesh* navmesh = m_scene->GetNavmesh();
    if (!navmesh)
    {
        LOG_WARNING(
            "Scene '%s', %s: there is no navmesh to lay the surface over (the scene state names '%s'); "
            "left out.",
            m_scene->GetId().c_str(), Describe(element).c_str(), m_scene->GetNavmeshName().c_str());
        return;
    }
    navmesh->AddSurfaceMesh(file, element.Attribute("name") + 3, position, rotation, scale);
}

void cl_SceneLoader::LoadProperties(const TiXmlElement& element, Ogre::Entity& entity) const
{
    const TiXmlElement* properties = element.FirstChildElement("properties");
    for (const TiXmlElement* property = properties ? properties->FirstChildElement("property") : nullptr;
         property; property = property->NextSiblingElement("property"))
    {
        if (property->Attribute("renderqueue"))
            entity.setRenderQueueGroup(
                RenderQueue(IntegerAttribute(*property, "renderqueue", NO_RENDER_QUEUE_NUMBER)));
    }
}

bool cl_SceneLoader::SetMaterial(Ogre::Entity& entity, const std::string& material,
                                 const TiXmlElement& element) const
{
    if (!Ogre::MaterialManager::getSingleton().resourceExists(material, Ogre::RGN_AUTODETECT))
    {
        Refuse(element, Format("the material '%s' does not exist", material.c_str()));
        return false;
    }
    entity.setMaterialName(material, Ogre::RGN_AUTODETECT);
    return true;
}

Ogre::SceneNode* cl_SceneLoader::FindOrCreateNode(const std::string& name, Ogre::SceneNode& parent,
                                                  bool& created)
{
    created = false;
    if (Ogre::SceneNode* own = m_scene->FindDocumentNode(name))
        return own;
    try
    {
        // OGRE looks for a node of the name while it makes one: asking first would look twice.
        Ogre::SceneNode* node = parent.createChildSceneNode(name);
        m_scene->AddDocumentNode(node);
        created = true;
        return node;
    }
    catch (const Ogre::ItemIdentityException&)
    {
        return SceneManagerOf(*m_scene).getSceneNode(name);
    }
}

Ogre::SceneNode* cl_SceneLoader::CreateNode(const TiXmlElement& element, const std::string& prefix,
                                            const std::string& name)
{
    const char* ownName = element.Attribute("name");
    if (!m_root || !m_scene || (name.empty() && !ownName))
        return nullptr;
    const std::string fullName = prefix + (name.empty() ? ownName : name);
    if (fullName.empty() || fullName == m_root->getName())
    {
        Refuse(element, Format("cannot have the node '%s'", fullName.c_str()));
        return nullptr;
    }
    const char* parentName = element.Attribute("parent");
    bool created = false;
    Ogre::SceneNode* parent =
        parentName && *parentName ? FindOrCreateNode(parentName, *m_root, created) : m_root;
    Ogre::SceneNode* node = FindOrCreateNode(fullName, *parent, created);
    if (parentName && !created && node->getParent() != parent)
    {
        if (IsBelow(parent, node))
        {
            Refuse(element,
                   Format("cannot hang below '%s', which hangs below it; it stays where it is", parentName));
        }
        else
        {
            if (Ogre::Node* oldParent = node->getParent())
                oldParent->removeChild(node);
            parent->addChild(node);
        }
    }
    Ogre::Vector3 vector;
    Ogre::Quaternion rotation;
    if (const TiXmlElement* position = element.FirstChildElement("position"))
    {
        if (ReadVector3(*position, vector))
            node->setPosition(vector);
    }
    if (const TiXmlElement* orientation = element.FirstChildElement("rotation"))
    {
        if (ReadQuaternion(*orientation, rotation))
            node->setOrientation(rotation);
    }
    if (const TiXmlElement* scale = element.FirstChildElement("scale"))
    {
        if (ReadVector3(*scale, vector))
            node->setScale(vector);
    }
    if (const TiXmlElement* animations = element.FirstChildElement("animations"))
        LoadNodeAnimations(*animations, *node);
    return node;
}

void cl_SceneLoader::LoadNodeAnimations(const TiXmlElement& animations, Ogre::SceneNode& node)
{
    Ogre::SceneManager& sceneManager = SceneManagerOf(*m_scene);
    for (const TiXmlElement* element = animations.FirstChildElement(); element;
         element = element->NextSiblingElement())
    {
        std::string name;
        if (!Required(*element, "name", name))
            continue;
        Ogre::Animation* animation = nullptr;
        if (sceneManager.hasAnimation(name))
        {
            animation = sceneManager.getAnimation(name);
        }
        else
        {
            animation = sceneManager.createAnimation(name, NumberAttribute(*element, "length", 0.0f));
            animation->setInterpolationMode(Ogre::Animation::IM_LINEAR);
            m_scene->AddDocumentAnimation(name);
        }
        Ogre::NodeAnimationTrack* track =
            animation->createNodeTrack(static_cast<unsigned short>(animation->getNumNodeTracks() + 1), &node);
        for (const TiXmlElement* key = element->FirstChildElement(); key; key = key->NextSiblingElement())
        {
            Ogre::TransformKeyFrame* frame = track->createNodeKeyFrame(NumberAttribute(*key, "time", 0.0f));
            Ogre::Vector3 vector;
            Ogre::Quaternion rotation;
            const TiXmlElement* position = key->FirstChildElement("position");
            if (position && ReadVector3(*position, vector))
                frame->setTranslate(vector);
            const TiXmlElement* orientation = key->FirstChildElement("rotation");
            if (orientation && ReadQuaternion(*orientation, rotation))
                frame->setRotation(rotation);
            const TiXmlElement* scale = key->FirstChildElement("scale");
            if (scale && ReadVector3(*scale, vector))
                frame->setScale(vector);
        }
    }
}

void cl_SceneLoader::loadHelpers(const TiXmlElement& helpers)
{
    EachChild(
        helpers, [this](const TiXmlElement& element) { LoadHelper(element); },
        [](const TiXmlElement& element, const char* what)
        {
            LOG_ERROR("Loading Helpers failed. Last processed node was '%s'. Exception: '%s'",
                      TextAttribute(element, "name", "").c_str(), what);
        });
}

void cl_SceneLoader::LoadHelper(const TiXmlElement& element)
{
    Ogre::SceneNode* node = CreateNode(element, "", "");
    if (!node)
        return;
    const std::string& name = node->getName();
    for (const char* turned : TURNED_HELPERS)
    {
        if (StartsWith(name, turned))
        {
            node->yaw(Ogre::Degree(90.0f), Ogre::Node::TS_LOCAL);
            break;
        }
    }
    if (m_scene->SetNode(name, node))
        LOG_WARNING("Helper '%s' allready existed and was overridden!", name.c_str());
}

void cl_SceneLoader::LoadLights(const TiXmlElement& lights)
{
    EachChild(
        lights, [this](const TiXmlElement& element) { LoadLight(element); },
        [this](const TiXmlElement& element, const char* what) { RefuseBroken(element, what); });
}

void cl_SceneLoader::LoadLight(const TiXmlElement& element)
{
    std::string name, type;
    if (!Required(element, "name", name))
        return;
    uint32_t mask = m_lightBit;
    bool shadowLight = false;
    if (StartsWith(name, "shadowlight_"))
    {
        m_depthShadows = true;
        mask = SHADOW_LIGHT_MASK;
        shadowLight = true;
    }
    if (StartsWith(name, "slx_"))
    {
        m_extendedDepthShadows = true;
        mask = SHADOW_LIGHT_MASK;
        shadowLight = true;
    }
    else
    {
        m_lightBit *= 2;
    }
    if (!IsLightAllowed(element, shadowLight) || !Required(element, "type", type))
        return;
    Ogre::StringUtil::toLowerCase(type);
    std::string hotspot, falloff;
    if (type == "spot" && (!Required(element, "hotspot", hotspot) || !Required(element, "falloff", falloff)))
        return;
    const TiXmlElement* attenuation = element.FirstChildElement("attenuation");
    static const char* const ATTENUATION[] = {"range", "constant", "linear", "quadratic"};
    float factors[4];
    if (attenuation && !ReadNumbers(*attenuation, ATTENUATION, factors))
    {
        Refuse(element, "its attenuation needs the numbers range, constant, linear and quadratic; left out");
        return;
    }
    if (mask == 0)
        LOG_WARNING("Scene '%s', %s: the scene has used up the light masks, so the light lights nothing.",
                    m_scene->GetId().c_str(), Describe(element).c_str());

    Ogre::Light* light = SceneManagerOf(*m_scene).createLight(name);
    m_scene->AddLight(light);
    light->setLightMask(mask);
    if (type == "omni")
    {
        light->setType(Ogre::Light::LT_POINT);
    }
    else if (type == "spot")
    {
        light->setType(Ogre::Light::LT_SPOTLIGHT);
        // A new light shines along its node's -Z, the direction spots are written for.
        light->setSpotlightRange(Ogre::Degree(NumberAttribute(element, "hotspot", 0.0f)),
                                 Ogre::Degree(NumberAttribute(element, "falloff", 0.0f)), 1.0f);
    }
    else if (type == "directional")
    {
        light->setType(Ogre::Light::LT_DIRECTIONAL);
    }
    std::string on = TextAttribute(element, "on", "");
    Ogre::StringUtil::toLowerCase(on);
    light->setVisible(on == "true");
    light->setCastShadows(shadowLight);
    Ogre::ColourValue colour;
    if (const TiXmlElement* diffuse = element.FirstChildElement("color"))
    {
        if (ReadColour(*diffuse, colour))
            light->setDiffuseColour(colour);
    }
    if (const TiXmlElement* specular = element.FirstChildElement("specular"))
    {
        if (ReadColour(*specular, colour))
            light->setSpecularColour(colour);
    }
    if (attenuation)
        light->setAttenuation(factors[0], factors[1], factors[2], factors[3]);
    Ogre::SceneNode* node = CreateNode(element, "", "");
    if (!node)
        return;
    node->attachObject(light);
    if (const TiXmlElement* target = element.FirstChildElement("target"))
    {
        if (Ogre::SceneNode* targetNode = CreateNode(*target, "", ""))
            node->setAutoTracking(true, targetNode, Ogre::Vector3::NEGATIVE_UNIT_Z, Ogre::Vector3::ZERO);
    }
    const TiXmlElement* cookie = element.FirstChildElement("cookie");
    if (cookie && cookie->Attribute("texture"))
    {
        const std::string texture = cookie->Attribute("texture");
        light->getUserObjectBindings().setUserAny(Ogre::Any(texture));
        if (!Ogre::ResourceGroupManager::getSingleton().resourceExistsInAnyGroup(texture) &&
            !Ogre::TextureManager::getSingleton().resourceExists(texture, Ogre::RGN_AUTODETECT))
            Refuse(element, Format("its cookie '%s' is no texture of the game", texture.c_str()));
    }
}

bool cl_SceneLoader::IsLightAllowed(const TiXmlElement& light, bool shadowLight) const
{
    const char* name = light.Attribute("name");
    if (light.ValueStr() != "light" || !name)
        return true;
    if (m_constraints.count(name))
        return IsAllowedByQuality(name);
    if (m_qualityLevel == QUALITY_LOW)
        return !shadowLight;
    if (m_qualityLevel == QUALITY_MID && shadowLight)
    {
        for (const Ogre::Light* other : m_scene->GetLights())
        {
            if (other->getCastShadows())
                return false;
        }
    }
    return true;
}

void cl_SceneLoader::LoadShadowTechnique(const TiXmlElement& shadowTechnique)
{
    std::string size, count;
    if (!Required(shadowTechnique, "tex_size", size) || !Required(shadowTechnique, "tex_count", count))
        return;
    m_shadowTextureSize = IntegerAttribute(shadowTechnique, "tex_size", 0);
    const int largestSize = m_qualityLevel <= QUALITY_MID ? 1024 : 2048;
    if (m_shadowTextureSize >= largestSize)
        m_shadowTextureSize = largestSize;
    m_shadowTextureCount = IntegerAttribute(shadowTechnique, "tex_count", 0);
    const int mostTextures = m_qualityLevel <= QUALITY_LOW ? 0 : m_qualityLevel == QUALITY_MID ? 2 : 8;
    if (m_shadowTextureCount >= mostTextures)
        m_shadowTextureCount = mostTextures;
}

void cl_SceneLoader::LoadFog(const TiXmlElement& fog)
{
    std::string type, density, start, end;
    if (!Required(fog, "type", type) || !Required(fog, "density", density) ||
        !Required(fog, "linearStart", start) || !Required(fog, "linearEnd", end))
        return;
    const int mode = IntegerAttribute(fog, "type", 0);
    if (mode < Ogre::FOG_NONE || mode > Ogre::FOG_LINEAR)
    {
        Refuse(fog, Format("knows no fog of type %i; left out", mode));
        return;
    }
    Ogre::ColourValue colour = Ogre::ColourValue::White;
    const TiXmlElement* colourElement = fog.FirstChildElement("color");
    if (colourElement && !ReadColour(*colourElement, colour))
        Refuse(fog, "its colour needs the numbers r, g and b; the fog is white");
    SceneManagerOf(*m_scene).setFog(
        static_cast<Ogre::FogMode>(mode), colour, NumberAttribute(fog, "density", 0.0f),
        NumberAttribute(fog, "linearStart", 0.0f), NumberAttribute(fog, "linearEnd", 0.0f));
}

void cl_SceneLoader::InitShadows()
{
    Ogre::SceneManager& sceneManager = SceneManagerOf(*m_scene);
    sceneManager.setShadowTechnique(Ogre::SHADOWTYPE_NONE);
    if (m_depthShadows && m_extendedDepthShadows)
    {
        LOG_ERROR("Mix of old and new shadow technique not supported!");
        return;
    }
    if (m_shadowTextureCount <= 0)
        return;
    const char* caster = m_depthShadows ? DEPTH_CASTER : m_extendedDepthShadows ? EXTENDED_CASTER : nullptr;
    if (!caster)
        return;
    if (m_shadowTextureSize <= 0)
    {
        LOG_ERROR("Scene '%s': shadow textures of size %i cannot be made; no shadows.",
                  m_scene->GetId().c_str(), m_shadowTextureSize);
        return;
    }
    try
    {
        const Ogre::MaterialPtr material =
            Ogre::MaterialManager::getSingleton().getByName(caster, Ogre::RGN_AUTODETECT);
        if (!material)
        {
            LOG_ERROR("Scene '%s': the shadow caster material '%s' does not exist; no shadows.",
                      m_scene->GetId().c_str(), caster);
            return;
        }
        sceneManager.setShadowTextureSelfShadow(false);
        sceneManager.setShadowTextureCasterMaterial(material);
        sceneManager.setShadowCasterRenderBackFaces(true);
        sceneManager.setShadowTextureSettings(static_cast<Ogre::uint16>(m_shadowTextureSize),
                                              static_cast<Ogre::uint16>(m_shadowTextureCount),
                                              Ogre::PF_FLOAT32_R);
        sceneManager.setShadowTechnique(Ogre::SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("InitShadows failed. Exception: '%s'", exception.getDescription().c_str());
        sceneManager.setShadowTechnique(Ogre::SHADOWTYPE_NONE);
    }
}

bool cl_SceneLoader::ReadVector3(const TiXmlElement& element, Ogre::Vector3& value)
{
    static const char* const NAMES[] = {"x", "y", "z"};
    float numbers[3];
    if (!ReadNumbers(element, NAMES, numbers))
        return false;
    value = Ogre::Vector3(numbers[0], numbers[1], numbers[2]);
    return true;
}

bool cl_SceneLoader::ReadQuaternion(const TiXmlElement& element, Ogre::Quaternion& value)
{
    static const char* const NAMES[] = {"x", "y", "z", "w"};
    float numbers[4];
    if (!ReadNumbers(element, NAMES, numbers))
        return false;
    const Ogre::Quaternion read(numbers[3], numbers[0], numbers[1], numbers[2]);
    // A quaternion of length 0 is no rotation: OGRE would turn it into one of NaNs.
    if (!(read.Norm() > 0.0f) || !std::isfinite(read.Norm()))
        return false;
    value = read;
    return true;
}

bool cl_SceneLoader::ReadColour(const TiXmlElement& element, Ogre::ColourValue& value)
{
    static const char* const NAMES[] = {"r", "g", "b"};
    float numbers[3];
    if (!ReadNumbers(element, NAMES, numbers))
        return false;
    value = Ogre::ColourValue(numbers[0], numbers[1], numbers[2], NumberAttribute(element, "a", 1.0f));
    return true;
}

bool cl_SceneLoader::Required(const TiXmlElement& element, const char* attribute, std::string& value) const
{
    const char* text = element.Attribute(attribute);
    if (!text)
    {
        Refuse(element, Format("'%s' is missing; left out", attribute));
        return false;
    }
    value = text;
    return true;
}

bool cl_SceneLoader::Required(const TiXmlElement& element, const char* child, Ogre::Vector3& value) const
{
    const TiXmlElement* found = element.FirstChildElement(child);
    if (found && ReadVector3(*found, value))
        return true;
    Refuse(element, Format("its '%s' needs the numbers x, y and z; left out", child));
    return false;
}

bool cl_SceneLoader::Required(const TiXmlElement& element, const char* child, Ogre::Quaternion& value) const
{
    const TiXmlElement* found = element.FirstChildElement(child);
    if (found && ReadQuaternion(*found, value))
        return true;
    Refuse(element, Format("its '%s' needs the numbers x, y, z and w; left out", child));
    return false;
}

void cl_SceneLoader::RefuseBroken(const TiXmlElement& element, const char* what) const
{
    Refuse(element, Format("cannot be made (%s); left out", what));
}

void cl_SceneLoader::Refuse(const TiXmlElement& element, const std::string& why) const
{
    LOG_ERROR("Scene '%s', %s: %s.", m_scene ? m_scene->GetId().c_str() : "", Describe(element).c_str(),
              why.c_str());
}
