#include "sound/cl_SoundPool.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "sound/cl_ManualPlaybackObject.h"
#include "sound/cl_MultiFilePlaybackObject.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SpokentextPlaybackObject.h"
#include "sound/cl_StreamedPlaybackObject.h"

#include <OgreMath.h>
#include <tinyxml.h>

cl_SoundPool::cl_SoundPool(cl_SoundLoader& loader) : m_loader(loader) {}

cl_SoundPool::~cl_SoundPool()
{
    // Moved out first: a dying playback must not find the list half torn down.
    std::vector<std::unique_ptr<cl_PlaybackObject>> playbacks;
    playbacks.swap(m_playbacks);
}

bool cl_SoundPool::Load(const TiXmlElement& element)
{
    if (element.ValueStr() != "sounds")
        return false;
    ParseFolder(element, m_root);
    return true;
}

void cl_SoundPool::ParseFolder(const TiXmlElement& element, Folder& folder)
{
    for (const TiXmlElement* sound = element.FirstChildElement("sound"); sound;
         sound = sound->NextSiblingElement("sound"))
    {
        cl_SoundDefinition definition = cl_SoundDefinition::FromXml(*sound);
        if (definition.m_id.empty())
        {
            LOG_WARNING("A sound without an id in row %i is passed over.", sound->Row());
            continue;
        }
        std::string name = definition.m_id;
        Folder& target = Walk(folder, name, true);
        definition.m_id = name;
        target.definitions[name] = std::move(definition);
    }
    for (const TiXmlElement* node = element.FirstChildElement("node"); node;
         node = node->NextSiblingElement("node"))
    {
        const char* id = node->Attribute("id");
        if (!id)
        {
            LOG_WARNING("A node without an id in row %i is passed over with all its sounds.", node->Row());
            continue;
        }
        std::string path = id;
        if (path.empty())
            LOG_WARNING("A node with an empty id in row %i adds no folder to its sounds.", node->Row());
        if (path.empty() || path.back() != '\\')
            path += '\\';
        ParseFolder(*node, Walk(folder, path, true));
    }
}

cl_SoundPool::Folder& cl_SoundPool::Walk(Folder& folder, std::string& path, bool create)
{
    Folder* current = &folder;
    for (;;)
    {
        std::string rest;
        const std::string first = SplitAtFirst(path, "\\", rest);
        path = rest;
        if (first.empty())
            return *current;
        auto found = current->folders.find(first);
        if (found == current->folders.end())
        {
            if (!create)
                return *current;
            found = current->folders.emplace(first, std::make_unique<Folder>()).first;
        }
        current = found->second.get();
    }
}

const cl_SoundDefinition* cl_SoundPool::Find(const std::string& id) const
{
    std::string name = id;
    // A walk that creates nothing changes nothing.
    const Folder& folder = Walk(const_cast<Folder&>(m_root), name, false);
    const auto found = folder.definitions.find(name);
    return found == folder.definitions.end() ? nullptr : &found->second;
}

bool cl_SoundPool::GetSoundDefinition(const std::string& id, cl_SoundDefinition& definition) const
{
    const cl_SoundDefinition* found = Find(id);
    if (!found)
    {
        LOG_ERROR("Sound Definition '%s' not found.", id.c_str());
        return false;
    }
    definition = *found;
    return true;
}

bool cl_SoundPool::HasSoundDefinition(const std::string& id) const
{
    return Find(id) != nullptr;
}

bool cl_SoundPool::SoundExists(const std::string& name) const
{
    return HasSoundDefinition(name) || cl_SoundLoader::FileExists(name + ".wav");
}

std::string cl_SoundPool::GetRandomFile(const std::string& id) const
{
    cl_SoundDefinition definition;
    if (!GetSoundDefinition(id, definition) || definition.m_files.empty())
        return "";
    const size_t count = definition.m_files.size();
    // UnitRandom may give 1.0 itself.
    size_t index = static_cast<size_t>(Ogre::Math::UnitRandom() * static_cast<float>(count));
    if (index >= count)
        index = count - 1;
    return definition.m_files[index];
}

void cl_SoundPool::ResolveSoundFile(const std::string& name, cl_SingleFilePlaybackObject& playback) const
{
    playback.SetFile(HasSoundDefinition(name) ? GetRandomFile(name) : name + ".wav");
}

cl_PlaybackObject* cl_SoundPool::CreatePlaybackObject(const std::string& id)
{
    cl_SoundDefinition definition;
    if (!GetSoundDefinition(id, definition))
        return nullptr;
    if (definition.m_streamed)
    {
        const std::string file = GetRandomFile(id);
        if (!cl_StreamedPlaybackObject::FileExists(file))
        {
            LOG_ERROR("Unable to open file '%s'. File not found.", file.c_str());
            return nullptr;
        }
        return Keep(std::make_unique<cl_StreamedPlaybackObject>(m_loader, *this, file));
    }
    if (definition.m_files.empty())
    {
        LOG_ERROR("The sound '%s' names no file; nothing plays.", id.c_str());
        return nullptr;
    }
    // A loop count of -1 (for ever) counts as the greatest.
    if (definition.m_files.size() == 1 && (definition.m_loopCount == 0 || definition.m_loopCount == 1))
    {
        auto single = std::make_unique<cl_SingleFilePlaybackObject>(m_loader, *this);
        single->SetFile(definition.m_files.front());
        return Keep(std::move(single));
    }
    return Keep(std::make_unique<cl_MultiFilePlaybackObject>(m_loader, definition));
}

cl_ManualPlaybackObject* cl_SoundPool::CreateManualPlaybackObject(int channels, int rate)
{
    auto manual = std::make_unique<cl_ManualPlaybackObject>(channels, rate);
    cl_ManualPlaybackObject* result = manual.get();
    Keep(std::move(manual));
    return result;
}

cl_SpokentextPlaybackObject* cl_SoundPool::CreateSpokentextPlaybackObject(const std::string& speaker)
{
    auto spoken = std::make_unique<cl_SpokentextPlaybackObject>(m_loader, *this, speaker);
    cl_SpokentextPlaybackObject* result = spoken.get();
    Keep(std::move(spoken));
    return result;
}

cl_PlaybackObject* cl_SoundPool::Keep(std::unique_ptr<cl_PlaybackObject> playback)
{
    m_playbacks.push_back(std::move(playback));
    return m_playbacks.back().get();
}

bool cl_SoundPool::DestroyPlaybackObject(cl_PlaybackObject* playback)
{
    if (!playback)
        return false;
    for (auto kept = m_playbacks.begin(); kept != m_playbacks.end(); ++kept)
    {
        if (kept->get() != playback)
            continue;
        // Out of the list before it dies, in case its end reaches someone who makes a new one.
        const std::unique_ptr<cl_PlaybackObject> doomed = std::move(*kept);
        m_playbacks.erase(kept);
        return true;
    }
    delete playback;
    return false;
}
