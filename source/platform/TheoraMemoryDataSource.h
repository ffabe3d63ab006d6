#pragma once

#include "platform/TheoraDataSource.h"

#include <string>
#include <vector>

// A video held in memory, for generated clips, tests and tools.
class TheoraMemoryDataSource : public TheoraDataSource
{
public:
    // name is what repr() tells.
    TheoraMemoryDataSource(std::string name, std::vector<unsigned char> bytes);
    // The whole file; a file that cannot be read gives an empty source (which no clip accepts, with a log
    // line naming the file).
    explicit TheoraMemoryDataSource(const std::string& fileName);

    int read(void* output, int nBytes) override;
    std::string repr() const override { return m_name; }
    void seek(unsigned long byteIndex) override;
    unsigned long size() const override { return m_bytes.size(); }
    unsigned long tell() const override { return m_position; }

private:
    std::string m_name;
    std::vector<unsigned char> m_bytes;
    unsigned long m_position = 0;
};
