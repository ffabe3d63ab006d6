#include "platform/TheoraMemoryDataSource.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

TheoraMemoryDataSource::TheoraMemoryDataSource(std::string name, std::vector<unsigned char> bytes)
    : m_name(std::move(name)), m_bytes(std::move(bytes))
{
}

TheoraMemoryDataSource::TheoraMemoryDataSource(const std::string& fileName) : m_name(fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    m_bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int TheoraMemoryDataSource::read(void* output, int nBytes)
{
    if (nBytes <= 0 || m_position >= m_bytes.size())
        return 0;
    const size_t count = std::min(static_cast<size_t>(nBytes), m_bytes.size() - m_position);
    std::memcpy(output, m_bytes.data() + m_position, count);
    m_position += count;
    return static_cast<int>(count);
}

void TheoraMemoryDataSource::seek(unsigned long byteIndex)
{
    m_position = std::min<unsigned long>(byteIndex, m_bytes.size());
}
