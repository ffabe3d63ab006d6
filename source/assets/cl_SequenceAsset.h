#pragma once

#include "assets/cl_Asset.h"

// A sequence of actions played by the sequence player. This form holds what the pool reads besides the
// actions: the file's "hash" value.
class cl_SequenceAsset : public cl_Asset
{
public:
    std::string GetType() const override;
    std::string GetThingType() const override;

    // The "hash" attribute read as a decimal integer; 0 when absent or not a number.
    int GetHash() const { return m_hash; }
    void SetHash(int hash) { m_hash = hash; }

private:
    int m_hash = 0;
};
