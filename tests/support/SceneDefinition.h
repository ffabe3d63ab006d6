#pragma once

#include <memory>
#include <string>

class cl_Scene;

// A scene made from the element <scene assetref="assetId"/> (no attribute for an empty id): its asset is
// looked up in the pool manager's scenes pool.
std::unique_ptr<cl_Scene> MakeScene(const std::string& assetId = "");
