#pragma once

#include <vector>

// The keys of an ordered map, in its order.
template <class Map> std::vector<typename Map::key_type> KeysOf(const Map& map)
{
    std::vector<typename Map::key_type> keys;
    keys.reserve(map.size());
    for (const auto& entry : map)
        keys.push_back(entry.first);
    return keys;
}
