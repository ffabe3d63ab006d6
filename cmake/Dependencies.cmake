# Every library the engine calls, gathered behind one interface target.
find_package(PkgConfig REQUIRED)
find_package(OGRE 1.12 REQUIRED COMPONENTS Overlay Bites)
find_package(Boost 1.74 REQUIRED COMPONENTS filesystem system thread date_time)
pkg_check_modules(OIS REQUIRED IMPORTED_TARGET OIS)
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.1)
pkg_check_modules(TINYXML REQUIRED IMPORTED_TARGET tinyxml)
pkg_check_modules(OPENAL REQUIRED IMPORTED_TARGET openal freealut)
pkg_check_modules(VORBIS REQUIRED IMPORTED_TARGET vorbisfile vorbisenc vorbis ogg)
pkg_check_modules(THEORA REQUIRED IMPORTED_TARGET theoradec theoraenc) # the encoder makes test and demo clips
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11 xcursor)
pkg_check_modules(XFIXES REQUIRED IMPORTED_TARGET xfixes) # the end-to-end tests' cursor probe
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng) # PNG pictures of cursor files

add_library(quillmere_dependencies INTERFACE)
target_link_libraries(quillmere_dependencies INTERFACE
    OgreMain OgreOverlay OgreBites
    Boost::filesystem Boost::system Boost::thread Boost::date_time
    PkgConfig::OIS PkgConfig::LUA PkgConfig::TINYXML PkgConfig::OPENAL PkgConfig::VORBIS PkgConfig::THEORA
    PkgConfig::X11 PkgConfig::PNG)
