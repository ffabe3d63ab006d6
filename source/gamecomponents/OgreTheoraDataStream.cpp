#include "gamecomponents/OgreTheoraDataStream.h"

#include <OgreResourceGroupManager.h>

#include <algorithm>
#include <utility>

std::unique_ptr<OgreTheoraDataStream> OgreTheoraDataStream::Open(const std::string& fileName,
                                                                 const std::string& group)
{
    Ogre::DataStreamPtr stream =
        Ogre::ResourceGroupManager::getSingleton().openResource(fileName, group, nullptr, false);
    if (!stream)
        return nullptr;
    return std::unique_ptr<OgreTheoraDataStream>(new OgreTheoraDataStream(fileName, stream));
}

OgreTheoraDataStream::OgreTheoraDataStream(std::string name, Ogre::DataStreamPtr stream)
    : m_name(std::move(name)), m_stream(std::move(stream))
{
}

int OgreTheoraDataStream::read(void* output, int nBytes)
{
    if (nBytes <= 0)
        return 0;
    return static_cast<int>(m_stream->read(output, static_cast<size_t>(nBytes)));
}

void OgreTheoraDataStream::seek(unsigned long byteIndex)
{
    m_stream->seek(std::min<size_t>(byteIndex, m_stream->size()));
}

unsigned long OgreTheoraDataStream::size() const
{
    return m_stream->size();
}

unsigned long OgreTheoraDataStream::tell() const
{
    return m_stream->tell();
}
