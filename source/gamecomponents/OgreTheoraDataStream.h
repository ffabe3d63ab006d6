#pragma once

#include "platform/TheoraDataSource.h"

#include <OgreDataStream.h>

#include <memory>
#include <string>

// A video file read through OGRE's resources, for the video library.
class OgreTheoraDataStream : public TheoraDataSource
{
public:
    // Opens the resource of that name in group (OGRE also searches the groups of its global pool). Null,
    // without an exception, when no group has it.
    static std::unique_ptr<OgreTheoraDataStream> Open(const std::string& fileName, const std::string& group);

    int read(void* output, int nBytes) override;
    // The file name.
    std::string repr() const override { return m_name; }
    void seek(unsigned long byteIndex) override;
    unsigned long size() const override;
    unsigned long tell() const override;

private:
    OgreTheoraDataStream(std::string name, Ogre::DataStreamPtr stream);

    std::string m_name;
    Ogre::DataStreamPtr m_stream;
};
