#pragma once

#include <string>

// The material of the item's icon that hangs at the pointer while the item is held (its "mpt" icon, made
// on first use by the item manager).
std::string GetMousePointerIconMaterial(const std::string& itemId);
