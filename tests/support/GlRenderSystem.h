#pragma once

namespace Ogre
{
class Root;
}

// Loads OGRE's GL render system and the image codec into root and makes GL the render system, windowed;
// throws std::runtime_error when the render system is missing. Mesa's llvmpipe draws on the calling
// thread from then on (see the .cpp).
void UseGlRenderSystem(Ogre::Root& root);
