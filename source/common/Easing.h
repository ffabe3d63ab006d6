#pragma once

#include <string>

// An easing curve turns the elapsed time t of a movement lasting d into a value that runs from b at t = 0
// to b + c at t = d; the back and elastic curves overshoot in between. d must be positive (d = 0 divides
// by zero). Curves keep no state and allocate nothing, so they may run every frame.
using EasingFunction = float (*)(float t, float b, float c, float d);

// The curve named "easeInQuad" ... "easeInOutBounce" (Penner's 27 curves; the name must match exactly,
// case included). Any other name, the empty one too, gives the linear curve without a log line.
EasingFunction GetEasingFunction(const std::string& name);
