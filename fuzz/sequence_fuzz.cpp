// A sequence element from arbitrary bytes, as the sequence pool reads it from its files: read, written back
// and read again, then played for a few frames (skipped and aborted on the way) on a sequence player.
// Conditions and scripts get their answers from a script system that runs no Lua, so the data runs no code.
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "common/XmlParse.h"
#include "common/cl_ArgList.h"
#include "common/cl_ScriptSystem.h"
#include "common/cl_SyncManager.h"
#include "gamecomponents/cl_SequencePlayer.h"
#include "platform/GameRand.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace
{
// Answers a Lua chunk true when its length is even, so that both ways of every condition are reached.
class ParityScriptSystem : public cl_ScriptSystem
{
public:
    bool ExecuteString(const std::string&) override { return true; }
    bool ExecuteString(const std::string& code, cl_ArgList& results) override
    {
        results.GetArg(-1)->SetBool(code.size() % 2 == 0);
        return true;
    }
    int GetDifficulty() override { return 0; }
    bool GetGlobal(const std::string&, cl_Argument&) override { return false; }
    bool SetGlobal(const std::string&, const cl_Argument&) override { return false; }
    bool HasGlobal(const std::string&) override { return false; }
    bool HasGlobalString(const std::string&, const std::string&) override { return false; }
    void GlobalsToXml(TiXmlElement&) override {}
    void GlobalsFromXml(const TiXmlElement&) override {}
};

const int FRAMES = 8;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static ParityScriptSystem script;
    static cl_SyncManager sync;
    TiXmlBase::SetCondenseWhiteSpace(false);
    platform::GameSrand(static_cast<unsigned int>(size));

    TiXmlDocument document;
    ParseXml(document, std::string(reinterpret_cast<const char*>(data), size), "fuzz input");
    const TiXmlElement* element = document.FirstChildElement("asset");
    if (!element)
        return 0;
    cl_SequencePool pool;
    std::unique_ptr<cl_Asset> read = pool.CreateAsset(element);
    TiXmlElement written("asset");
    pool.WriteAsset(written, static_cast<cl_SequenceAsset*>(read.get()));
    std::unique_ptr<cl_Asset> reread = pool.CreateAsset(&written);

    cl_SequencePlayer player;
    player.PlaySequence(static_cast<cl_SequenceAsset*>(read.get()), cl_SequencePlayer::FOREGROUND, true);
    player.EnqueueSequence(static_cast<cl_SequenceAsset*>(reread.get()), cl_SequencePlayer::FOREGROUND,
                           false);
    player.EnqueueSequence(pool.CreateInteractionSequence(true), 1, false);
    for (int frame = 0; frame < FRAMES; ++frame)
    {
        if (frame == FRAMES / 2)
            player.SkipForeground();
        player.Update(0.4f);
    }
    player.AbortAll();
    return 0;
}
