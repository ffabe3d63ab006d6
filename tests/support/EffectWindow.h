#pragma once

#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_EffectManager.h"
#include "support/LogCapture.h"
#include "support/TestWindow.h"

#include <OgreColourValue.h>
#include <tinyxml.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// The scene effects in a small window (TestWindow): the effect manager and the camera singleton, whose
// game camera is the window's, over a script system; the scene node "_game"; the laid-out demo's common
// and chapter data (materials, programs, pictures, meshes) in the group "GAMEDATA". Needs an X display.
class EffectWindow
{
public:
    EffectWindow(int width, int height);

    // Loads the effects of the `effects` element text (kept for Unload).
    void Load(const std::string& text);
    // Unloads the effects of the text given to Load.
    void Unload();
    // The effect; the test fails without it.
    cl_BaseEffect& Effect(const std::string& id) const;
    // Puts the game camera at eye, looking at target.
    void LookAt(const Ogre::Vector3& eye, const Ogre::Vector3& target);
    // A cube of that edge at the position under "_game", in the material (see ColourMaterial), seen by
    // viewports whose mask shares a bit with visibility.
    Ogre::Entity* AddBox(const std::string& name, const Ogre::Vector3& position, float edge,
                         const std::string& material, uint32_t visibility = 0xFFFFFFFF);
    // A material that shows the colour whatever the lights; made at the first call for that name.
    static std::string ColourMaterial(const std::string& name, const Ogre::ColourValue& colour);
    // The names, each followed by a blank, that OGRE holds as a camera or entity of the scene, as a
    // texture of the group "General" or as a material.
    std::string Held(std::initializer_list<const char*> names) const;
    // The render target of the texture of that name in the group "General"; null without one.
    static Ogre::RenderTarget* Target(const std::string& texture);
    static bool IsRed(const TestWindow::Colour& colour);
    static bool IsGreen(const TestWindow::Colour& colour);

    // The pixels of a render texture as they were last rendered, read row by row from the texture's top.
    struct Pixels
    {
        int width;
        int height;
        std::vector<uint8_t> rgb;
        TestWindow::Colour At(int x, int y) const;
        // Whether some pixel of the rectangle (inclusive) passes the test.
        template <class Test> bool Any(int left, int top, int right, int bottom, Test test) const
        {
            for (int y = top; y <= bottom; ++y)
                for (int x = left; x <= right; ++x)
                    if (test(At(x, y)))
                        return true;
            return false;
        }
    };
    static Pixels ReadTexture(const std::string& name);

    LogCapture log;
    TestWindow window;
    cl_LuaScriptSystem script;
    cl_EffectManager effects{script};
    cl_Camera camera{script};

private:
    TiXmlDocument m_document;
};
