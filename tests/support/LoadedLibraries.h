#pragma once

// Keeps every shared library loaded so far in memory until the process ends. Render-system plug-ins and
// graphics drivers are unloaded when OGRE shuts down; what they leak would then be reported from an
// unknown module, which the leak checker's suppressions (by library name) cannot match.
void KeepLoadedLibraries();
