#pragma once

#include <string>

// OpenAL Soft's wave driver for this test process: every device it opens records what it mixes into one
// WAV file (32-bit float, stereo, 44.1 kHz), in real time. OpenAL Soft reads its configuration once per
// process, so the first call must come before any OpenAL call; later calls change nothing. The caller's
// ALSOFT_DRIVERS would override the configuration and is removed.
class WaveDriver
{
public:
    // Configures the driver (once) and returns the recording's path. Opening a device starts the file
    // afresh; it is complete once the device is closed.
    static const std::string& Recording();
};
