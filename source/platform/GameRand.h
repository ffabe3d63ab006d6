#pragma once

namespace platform
{
// The program's one random generator, drawing the same sequence as the Microsoft C library's rand so
// that data tuned against it behaves alike. Every random choice of the program comes from here; the
// state is process-wide and only the main thread draws.
constexpr int GAME_RAND_MAX = 32767;

// The next value in [0, GAME_RAND_MAX]. The generator starts as if seeded with 1.
int GameRand();
// Restarts the sequence (srand).
void GameSrand(unsigned int seed);
// Makes OGRE's Math::UnitRandom, RangeRandom and SymmetricRandom draw from GameRand (one draw each,
// GameRand() / 32767). Needs no OGRE object; call once at start.
void UseGameRandForOgre();
} // namespace platform
