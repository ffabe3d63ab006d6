#include "platform/GameRand.h"

#include <OgreMath.h>

#include <cstdint>

namespace platform
{
namespace
{
uint32_t g_state = 1;

class GameRandProvider : public Ogre::Math::RandomValueProvider
{
public:
    Ogre::Real getRandomUnit() override
    {
        return static_cast<Ogre::Real>(GameRand()) / static_cast<Ogre::Real>(GAME_RAND_MAX);
    }
};
} // namespace

int GameRand()
{
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}

void GameSrand(unsigned int seed)
{
    g_state = seed;
}

void UseGameRandForOgre()
{
    static GameRandProvider provider;
    Ogre::Math::SetRandomValueProvider(&provider);
}
} // namespace platform
