#pragma once

#include <initializer_list>
#include <memory>
#include <string>

class cl_Scene;

// A scene made from the element <scene assetref="assetId"/> (no attribute for an empty id): its asset is
// looked up in the pool manager's scenes pool.
std::unique_ptr<cl_Scene> MakeScene(const std::string& assetId = "");

class cl_SceneManager;

// Hands the scene manager the element <scene assetref="assetId"/> of each id, as a data file would: a switch
// to one of them then knows the scene (an empty one, with no location to build).
void ParseScenes(cl_SceneManager& scenes, std::initializer_list<const char*> assetIds);
