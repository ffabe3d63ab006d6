#pragma once

#include "platform/LocalTime.h"

#include <cstdint>
#include <string>

// One save game as the load and save pages show it: what its file's header says.
struct SaveEntry
{
    std::string file;         // full path of the save file
    std::string name;         // display name, as the player typed it
    std::string chapter;      // the loader's chapter id when it was saved
    std::string section;      // the game state's current-chapter text, a finer story position
    platform::LocalTime date; // when it was saved; date.time is 0 for an empty slot
    int32_t played = 0;       // played time in whole seconds
    int32_t difficulty = 0;   // "_globals.difficulty" of the saved game; 0 when absent
};
