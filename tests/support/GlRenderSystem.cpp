#include "support/GlRenderSystem.h"

#include <OgreRenderSystem.h>
#include <OgreRoot.h>

#include <cstdlib>
#include <stdexcept>

void UseGlRenderSystem(Ogre::Root& root)
{
    // Mesa's llvmpipe draws on worker threads that are still winding down as the process ends; under load
    // the leak checker's walk over them crashes ("Tracer caught signal 11"). Drawing on the calling thread
    // leaves no such threads.
    setenv("LP_NUM_THREADS", "0", 0);
    root.loadPlugin("/usr/lib/x86_64-linux-gnu/OGRE/RenderSystem_GL");
    root.loadPlugin("/usr/lib/x86_64-linux-gnu/OGRE/Codec_STBI");
    Ogre::RenderSystem* renderSystem = root.getRenderSystemByName("OpenGL Rendering Subsystem");
    if (!renderSystem)
        throw std::runtime_error("no GL render system");
    renderSystem->setConfigOption("Full Screen", "No");
    root.setRenderSystem(renderSystem);
}
