#include "graphics/cl_BlobShadow.h"

#include "common/XmlParse.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_SceneLoader.h"
#include "support/SceneWindow.h"

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
using Ogre::Vector3;

// The demo's hero, from the chapter's data, with his blob shadow (its quads 24 x 36 under his feet, full and
// darkest at the feet's rest height of 5), in the tower hall of an 800 x 600 window.
class HeroShadow : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_window.Load("scenes_tower", cl_SceneLoader::QUALITY_LOW));
        m_window.log.Clear();
        ASSERT_TRUE(LoadXmlFile(m_characters, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/characters.tdf"));
        const TiXmlElement* element = m_characters.RootElement()->FirstChildElement("character");
        ASSERT_STREQ(element->Attribute("assetref"), "characters_hero");
        m_hero = std::make_unique<cl_Character>(m_window.SceneManager(), "characters_hero");
        ASSERT_TRUE(m_hero->GetPuppet()->FromXml(element->FirstChildElement("puppet")));
        ASSERT_TRUE(cl_CharacterLoader::Load(element, m_hero.get()));
        ASSERT_NE(m_hero->GetBlobShadow(), nullptr);
        // Only the shadows show: his body would hide them from the camera above.
        for (const std::string& submesh : m_hero->GetPuppet()->GetSubMeshNames())
            m_hero->GetPuppet()->SetSubMeshVisible(submesh, false);
    }
    void TearDown() override { m_hero.reset(); }

    // The colour where the world point shows.
    SceneWindow::Colour At(const Vector3& point) const
    {
        const Ogre::Camera& camera = *m_window.SceneManager().getCamera("LocationCam");
        const Vector3 screen = camera.getProjectionMatrix() * (camera.getViewMatrix() * point);
        return m_window.At(static_cast<int>((screen.x + 1.0f) * 0.5f * static_cast<float>(m_window.width)),
                           static_cast<int>((1.0f - screen.y) * 0.5f * static_cast<float>(m_window.height)));
    }
    bool IsShadowed(const Vector3& point, const SceneWindow::Colour& floor) const
    {
        const SceneWindow::Colour seen = At(point);
        return seen.r < floor.r / 2 && seen.g < floor.g / 2 && seen.b < floor.b / 2 + 1;
    }

    SceneWindow m_window{800, 600};
    TiXmlDocument m_characters;
    std::unique_ptr<cl_Character> m_hero;
};

TEST_F(HeroShadow, DarkQuadsLieOnTheFloorUnderTheFeetAndGoWithTheCharacter)
{
    // His feet stand at (+-10, 5, 100); their quads lie 6 further on, darkest in the middle.
    const Vector3 left(10, 0, 106);
    const Vector3 right(-10, 0, 106);
    const Vector3 beside(60, 0, 106);
    m_window.Render();
    const SceneWindow::Colour floor = At(left);
    ASSERT_TRUE(SceneWindow::Near(At(right), floor));

    m_hero->SetLocation(
        st_ObjectPlacement{m_window.SceneManager().getSceneNode("_game"), Vector3(0, 0, 100)});
    m_hero->GetBlobShadow()->Update();
    m_window.Render();
    EXPECT_TRUE(IsShadowed(left, floor));
    EXPECT_TRUE(IsShadowed(right, floor));
    EXPECT_TRUE(SceneWindow::Near(At(beside), floor)) << "beside him the floor";

    m_hero->GetSceneNode()->setPosition(-80, 0, 100);
    m_hero->GetBlobShadow()->Update();
    m_window.Render();
    EXPECT_TRUE(SceneWindow::Near(At(left), floor)) << "the shadow went with him";
    EXPECT_TRUE(IsShadowed(left + Vector3(-80, 0, 0), floor));

    m_hero->SetLocation(st_ObjectPlacement{});
    m_window.Render();
    EXPECT_TRUE(SceneWindow::Near(At(left + Vector3(-80, 0, 0)), floor)) << "placed nowhere, none";
}

} // namespace
