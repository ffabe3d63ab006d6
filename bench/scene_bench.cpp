// Building and taking down a location: our scene loader (LoadScene, then UnloadScene) beside bare OGRE
// creating and destroying the same scene nodes, entities and lights, with the same meshes and materials.
// Two locations: the demo's tower hall as its scene element stands (backdrop with patches, shots, click
// and navigation floors, lights, helpers), and a generated one of a few hundred ambient entities, lights
// and helper nodes. What bare OGRE builds is what our loader left in OGRE, recorded once; our side also
// reads the XML and does what the scene needs beyond OGRE's objects (backdrops, navigation meshes, shots,
// tables). Also the pick under the pointer on the loaded hall beside bare OGRE's ray query over the same
// points. Headless OGRE: nothing renders. The shared bench entry interleaves the runs and prints the
// ratios last.
#include "common/XmlParse.h"
#include "common/cl_CommandDistributor.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneLoader.h"
#include "graphics/cl_SceneManager.h"
#include "support/BenchRatio.h"
#include "support/HeadlessOgre.h"
#include "support/HeadlessTextures.h"
#include "support/ManualGameTime.h"
#include "support/SceneStandIns.h"

#include <benchmark/benchmark.h>

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSceneQuery.h>
#include <OgreSubEntity.h>
#include <tinyxml.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The generated location.
const int ENTITIES = 300;
const int LIGHTS = 60;
const int HELPERS = 300;

std::string GeneratedLocation()
{
    std::string xml = "<scene assetref=\"scenes_generated\"><osmdata><entities>";
    for (int i = 0; i < ENTITIES; ++i)
        xml += "<entity name=\"ao_box" + std::to_string(i) + "\" filename=\"pillar.mesh\"><position x=\"" +
               std::to_string(i % 20 * 10) + "\" y=\"0\" z=\"" + std::to_string(i / 20 * 10) +
               "\"/></entity>";
    xml += "</entities><lights>";
    for (int i = 0; i < LIGHTS; ++i)
        xml += "<light name=\"lamp" + std::to_string(i) +
               "\" type=\"omni\" on=\"true\"><color r=\"1\" g=\"0.5\" "
               "b=\"0\"/><position x=\"" +
               std::to_string(i * 5) + "\" y=\"100\" z=\"0\"/></light>";
    xml += "</lights><helpers>";
    for (int i = 0; i < HELPERS; ++i)
        xml += "<helper name=\"op_spot" + std::to_string(i) + "\"><position x=\"" + std::to_string(i) +
               "\" y=\"0\" z=\"5\"/></helper>";
    return xml + "</helpers></osmdata></scene>";
}

std::unique_ptr<TiXmlElement> HallElement()
{
    TiXmlDocument document;
    if (!LoadXmlFile(document, QUILLMERE_DEMO_DIR "data/chapter1/scenes.tdf") || !document.RootElement())
    {
        std::fprintf(stderr, "scene_bench: the demo's scenes.tdf cannot be read\n");
        std::exit(1);
    }
    return std::make_unique<TiXmlElement>(*document.RootElement()->FirstChildElement("scene"));
}

std::unique_ptr<TiXmlElement> Element(const std::string& xml)
{
    TiXmlDocument document;
    ParseXml(document, xml, "generated location");
    return std::make_unique<TiXmlElement>(*document.RootElement());
}

// What a location leaves in OGRE, in an order bare OGRE can build it again: nodes parents first.
struct Plan
{
    struct Node
    {
        std::string name;
        int parent; // index of an earlier node; -1: the scene root "_game"
        Ogre::Vector3 position, scale;
        Ogre::Quaternion orientation;
        int tracked; // the node it turns toward; -1: none
    };
    struct Entity
    {
        std::string name, mesh, material;
        int node; // -1: attached to none
        uint32_t queryFlags, lightMask;
        Ogre::uint8 queue;
        bool visible, castShadows;
    };
    struct Light
    {
        std::string name;
        int node;
        Ogre::Light::LightTypes type;
        Ogre::ColourValue diffuse, specular;
        Ogre::Radian inner, outer;
        uint32_t mask;
        bool visible, castShadows;
    };
    std::vector<Node> nodes;
    std::vector<Entity> entities;
    std::vector<Light> lights;
};

// The singletons a load reaches and the loader, on headless OGRE with the demo's meshes and textures.
class World
{
public:
    World()
    {
        Ogre::SceneManager& ogre = m_ogre.SceneManager();
        m_camera = ogre.createCamera("LocationCam");
        m_camera->setAspectRatio(4.0f / 3.0f);
        m_root = ogre.getRootSceneNode()->createChildSceneNode("_game");
        MakeSceneMeshes();
        MakeShadowMaterials();
        for (const char* texture : {"hall.png", "torch.png", "glow.png", "window_cookie.png"})
            m_textures.AddTexture(texture, 64, 64);
    }
    ~World() { m_scenes.SetLoadedScene(nullptr); }

    // Makes the location current; its first load creates what lives for the run.
    void Use(const TiXmlElement& element)
    {
        m_scenes.SetLoadedScene(std::make_unique<cl_Scene>(element));
        LoadOurs();
        UnloadOurs();
    }
    void LoadOurs()
    {
        cl_Scene& scene = *m_scenes.GetLoadedScene();
        scene.SetSceneManager(&m_ogre.SceneManager());
        scene.SetCamera(m_camera);
        m_loader.LoadScene(scene, cl_SceneLoader::QUALITY_HIGH, false, "default");
    }
    void UnloadOurs() { m_loader.UnloadScene(*m_scenes.GetLoadedScene(), false); }
    cl_Scene& Scene() const { return *m_scenes.GetLoadedScene(); }
    Ogre::Camera& Camera() const { return *m_camera; }
    Ogre::SceneManager& OgreScene() const { return m_ogre.SceneManager(); }

    // What our load of the current location leaves in OGRE.
    Plan Record()
    {
        LoadOurs();
        Plan plan;
        std::vector<const Ogre::SceneNode*> nodes;
        const auto indexOf = [&](const Ogre::Node* node)
        {
            for (size_t i = 0; i < nodes.size(); ++i)
            {
                if (nodes[i] == node)
                    return static_cast<int>(i);
            }
            return -1;
        };
        for (const Ogre::Node* child : m_root->getChildren())
            nodes.push_back(static_cast<const Ogre::SceneNode*>(child));
        for (size_t i = 0; i < nodes.size(); ++i)
        {
            for (const Ogre::Node* child : nodes[i]->getChildren())
                nodes.push_back(static_cast<const Ogre::SceneNode*>(child));
        }
        for (const Ogre::SceneNode* node : nodes)
            plan.nodes.push_back({node->getName(), indexOf(node->getParent()), node->getPosition(),
                                  node->getScale(), node->getOrientation(), -1});
        for (size_t i = 0; i < nodes.size(); ++i)
            plan.nodes[i].tracked = indexOf(nodes[i]->getAutoTrackTarget());
        for (const auto& object : m_ogre.SceneManager().getMovableObjects("Entity"))
        {
            const auto* entity = static_cast<const Ogre::Entity*>(object.second);
            plan.entities.push_back(
                {entity->getName(), entity->getMesh()->getName(), entity->getSubEntity(0)->getMaterialName(),
                 indexOf(entity->getParentSceneNode()), entity->getQueryFlags(), entity->getLightMask(),
                 entity->getRenderQueueGroup(), entity->getVisible(), entity->getCastShadows()});
        }
        for (const auto& object : m_ogre.SceneManager().getMovableObjects("Light"))
        {
            const auto* light = static_cast<const Ogre::Light*>(object.second);
            plan.lights.push_back({light->getName(), indexOf(light->getParentSceneNode()), light->getType(),
                                   light->getDiffuseColour(), light->getSpecularColour(),
                                   light->getSpotlightInnerAngle(), light->getSpotlightOuterAngle(),
                                   light->getLightMask(), light->getVisible(), light->getCastShadows()});
        }
        UnloadOurs();
        return plan;
    }

    // Bare OGRE builds the plan and takes it down again.
    void BuildAndDestroy(const Plan& plan)
    {
        Ogre::SceneManager& ogre = m_ogre.SceneManager();
        m_nodes.clear();
        for (const Plan::Node& node : plan.nodes)
        {
            Ogre::SceneNode* parent = node.parent < 0 ? m_root : m_nodes[node.parent];
            Ogre::SceneNode* made =
                node.name.empty() ? parent->createChildSceneNode(node.position, node.orientation)
                                  : parent->createChildSceneNode(node.name, node.position, node.orientation);
            made->setScale(node.scale);
            m_nodes.push_back(made);
        }
        for (size_t i = 0; i < plan.nodes.size(); ++i)
        {
            if (plan.nodes[i].tracked >= 0)
                m_nodes[i]->setAutoTracking(true, m_nodes[plan.nodes[i].tracked]);
        }
        m_entities.clear();
        for (const Plan::Entity& entity : plan.entities)
        {
            Ogre::Entity* made = ogre.createEntity(entity.name, entity.mesh);
            made->setMaterialName(entity.material, Ogre::RGN_AUTODETECT);
            made->setQueryFlags(entity.queryFlags);
            made->setLightMask(entity.lightMask);
            made->setRenderQueueGroup(entity.queue);
            made->setVisible(entity.visible);
            made->setCastShadows(entity.castShadows);
            if (entity.node >= 0)
                m_nodes[entity.node]->attachObject(made);
            m_entities.push_back(made);
        }
        m_lights.clear();
        for (const Plan::Light& light : plan.lights)
        {
            Ogre::Light* made = ogre.createLight(light.name);
            made->setType(light.type);
            made->setDiffuseColour(light.diffuse);
            made->setSpecularColour(light.specular);
            if (light.type == Ogre::Light::LT_SPOTLIGHT)
                made->setSpotlightRange(light.inner, light.outer);
            made->setLightMask(light.mask);
            made->setVisible(light.visible);
            made->setCastShadows(light.castShadows);
            if (light.node >= 0)
                m_nodes[light.node]->attachObject(made);
            m_lights.push_back(made);
        }
        for (Ogre::Light* light : m_lights)
            ogre.destroyLight(light);
        for (Ogre::Entity* entity : m_entities)
            ogre.destroyEntity(entity);
        for (auto node = m_nodes.rbegin(); node != m_nodes.rend(); ++node)
            ogre.destroySceneNode(*node);
    }

private:
    cl_CommandDistributor m_distributor;
    ManualGameTime m_gameTime{m_distributor};
    HeadlessOgre m_ogre;
    HeadlessTextures m_textures;
    cl_SceneManager m_scenes{m_distributor};
    cl_Camera m_shots{m_distributor};
    cl_SceneLoader m_loader;
    Ogre::Camera* m_camera = nullptr;
    Ogre::SceneNode* m_root = nullptr;
    std::vector<Ogre::SceneNode*> m_nodes;
    std::vector<Ogre::Entity*> m_entities;
    std::vector<Ogre::Light*> m_lights;
};

World& TheWorld()
{
    static World world;
    return world;
}

// The locations: 0 the demo's hall, 1 the generated one.
const TiXmlElement& Location(int which)
{
    static const std::unique_ptr<TiXmlElement> hall = HallElement();
    static const std::unique_ptr<TiXmlElement> generated = Element(GeneratedLocation());
    return which == 0 ? *hall : *generated;
}

void BM_SceneLoaderBuildsAndTakesDown(benchmark::State& state)
{
    World& world = TheWorld();
    world.Use(Location(static_cast<int>(state.range(0))));
    for (auto _ : state)
    {
        world.LoadOurs();
        world.UnloadOurs();
    }
}
BENCHMARK(BM_SceneLoaderBuildsAndTakesDown)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_BareOgreBuildsAndTakesDown(benchmark::State& state)
{
    World& world = TheWorld();
    world.Use(Location(static_cast<int>(state.range(0))));
    const Plan plan = world.Record();
    for (auto _ : state)
        world.BuildAndDestroy(plan);
    state.counters["nodes"] = static_cast<double>(plan.nodes.size());
    state.counters["entities"] = static_cast<double>(plan.entities.size());
    state.counters["lights"] = static_cast<double>(plan.lights.size());
}
BENCHMARK(BM_BareOgreBuildsAndTakesDown)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The points a pick is made at: a grid over the screen, in the order a pointer crossing it would meet them.
std::vector<Ogre::Vector2> PickPoints()
{
    std::vector<Ogre::Vector2> points;
    // Fine enough to meet the hall's two click objects.
    const int columns = 32;
    const int rows = 24;
    for (int y = 0; y < rows; ++y)
    {
        for (int x = 0; x < columns; ++x)
            points.emplace_back((x + 0.5f) / columns, (y + 0.5f) / rows);
    }
    return points;
}

// The pick under the pointer each frame, on the loaded hall: the ray query, the triangles of every click
// object and figure it meets, their owners.
void BM_PickItemOnTheHall(benchmark::State& state)
{
    World& world = TheWorld();
    world.Use(Location(0));
    world.LoadOurs();
    // The key and the door where the new game's state puts them.
    world.Scene().AttachItem("positions_key", "items_key");
    world.Scene().AttachItem("positions_door", "items_door");
    // The world bounds the queries test, as a rendered frame brings them up to date.
    world.OgreScene().getRootSceneNode()->_update(true, false);
    const std::vector<Ogre::Vector2> points = PickPoints();
    EntityHits hits;
    int hitPoints = 0;
    for (const Ogre::Vector2& point : points)
        hitPoints += world.Scene().RayQueryEntities(point.x, point.y, hits) > 0 ? 1 : 0;
    size_t next = 0;
    for (auto _ : state)
    {
        const Ogre::Vector2& point = points[next++ % points.size()];
        benchmark::DoNotOptimize(world.Scene().PickItem(point.x, point.y));
    }
    state.counters["points with hits"] = hitPoints;
    world.UnloadOurs();
}
BENCHMARK(BM_PickItemOnTheHall)->Unit(benchmark::kMicrosecond);

// Bare OGRE over the same hall and points: its ray query with the same mask, sorted, bounding boxes only.
void BM_BareOgreRayQueryOnTheHall(benchmark::State& state)
{
    World& world = TheWorld();
    world.Use(Location(0));
    world.LoadOurs();
    // The world bounds the queries test, as a rendered frame brings them up to date.
    world.OgreScene().getRootSceneNode()->_update(true, false);
    const std::vector<Ogre::Vector2> points = PickPoints();
    Ogre::RaySceneQuery* query = world.OgreScene().createRayQuery(Ogre::Ray(), 3);
    query->setSortByDistance(true);
    size_t next = 0;
    for (auto _ : state)
    {
        const Ogre::Vector2& point = points[next++ % points.size()];
        query->setRay(world.Camera().getCameraToViewportRay(point.x, point.y));
        benchmark::DoNotOptimize(query->execute().size());
    }
    world.OgreScene().destroyQuery(query);
    world.UnloadOurs();
}
BENCHMARK(BM_BareOgreRayQueryOnTheHall)->Unit(benchmark::kMicrosecond);

const BenchRatio RATIOS[] = {
    {"PickItem / bare OGRE ray query, the demo's tower hall", "BM_PickItemOnTheHall",
     "BM_BareOgreRayQueryOnTheHall", BenchRatio::AT_MOST, 10.0},
    {"our scene loader / bare OGRE, the demo's tower hall", "BM_SceneLoaderBuildsAndTakesDown/0",
     "BM_BareOgreBuildsAndTakesDown/0", BenchRatio::AT_MOST, 1.5},
    {"our scene loader / bare OGRE, a generated location", "BM_SceneLoaderBuildsAndTakesDown/1",
     "BM_BareOgreBuildsAndTakesDown/1", BenchRatio::AT_MOST, 1.5},
};
} // namespace
