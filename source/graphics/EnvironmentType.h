#pragma once

// How much room a scene's walkable ground leaves, from its environment's "type" ("tight", "narrow",
// anything else open): the walks of its characters keep closer to their paths the tighter it is.
enum EnvironmentType : int
{
    ENVIRONMENT_TIGHT = 0,
    ENVIRONMENT_NARROW = 1,
    ENVIRONMENT_OPEN = 2,
};
