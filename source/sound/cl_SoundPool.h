#pragma once

#include "sound/cl_SoundDefinition.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TiXmlElement;
class cl_ManualPlaybackObject;
class cl_PlaybackObject;
class cl_SingleFilePlaybackObject;
class cl_SoundLoader;
class cl_SpokentextPlaybackObject;

// The sound definitions of "sounds.xml" and the factory of playback objects: a caller names a sound by its
// id, a path with '\' between folders ("common\menue_klick_ok"), and the pool decides what kind of playback
// plays it. It owns the playback objects it made until they are destroyed through it.
class cl_SoundPool
{
public:
    // loader: reached by the playback objects; must outlive the pool.
    explicit cl_SoundPool(cl_SoundLoader& loader);
    // Deletes the playback objects still alive.
    ~cl_SoundPool();
    cl_SoundPool(const cl_SoundPool&) = delete;
    cl_SoundPool& operator=(const cl_SoundPool&) = delete;

    // Reads a `sounds` element: its `sound` children and, below `node` elements, folders of them. False,
    // with nothing read, for an element of another name.
    bool Load(const TiXmlElement& element);

    // Copies the definition of the id into definition; false with an error line when there is none.
    bool GetSoundDefinition(const std::string& id, cl_SoundDefinition& definition) const;
    bool HasSoundDefinition(const std::string& id) const;
    // A definition of that name, or a file name + ".wav" in the sound groups.
    bool SoundExists(const std::string& name) const;
    // One of the definition's files at random; "" when there is no such definition or it has no file.
    std::string GetRandomFile(const std::string& id) const;
    // Gives playback its file: one of the definition of that name, else name + ".wav".
    void ResolveSoundFile(const std::string& name, cl_SingleFilePlaybackObject& playback) const;

    // A new playback object for the definition: streamed, a single file played once (or looping), or a
    // sequence of files. Null, logged, for an unknown id, a streamed file that "GAMEDATA" lacks and a
    // definition without files. The pool keeps it.
    cl_PlaybackObject* CreatePlaybackObject(const std::string& id);
    // Pushed PCM of channels (1 or 2) at rate Hz, for the video's sound. The pool keeps it.
    cl_ManualPlaybackObject* CreateManualPlaybackObject(int channels, int rate);
    // A spoken line moving the mouth of speaker. The pool keeps it.
    cl_SpokentextPlaybackObject* CreateSpokentextPlaybackObject(const std::string& speaker);
    // Deletes playback in any case; false when it is null or the pool did not make it.
    bool DestroyPlaybackObject(cl_PlaybackObject* playback);

private:
    struct Folder
    {
        std::map<std::string, std::unique_ptr<Folder>> folders;
        std::map<std::string, cl_SoundDefinition> definitions;
    };

    void ParseFolder(const TiXmlElement& element, Folder& folder);
    // Walks path down from folder as far as its folders exist (creating them with create set) and leaves
    // the rest of the path, the name inside the folder reached, in path.
    static Folder& Walk(Folder& folder, std::string& path, bool create);
    const cl_SoundDefinition* Find(const std::string& id) const;
    cl_PlaybackObject* Keep(std::unique_ptr<cl_PlaybackObject> playback);

    cl_SoundLoader& m_loader;
    Folder m_root;
    std::vector<std::unique_ptr<cl_PlaybackObject>> m_playbacks;
};
