#include "assets/cl_ScriptSeqAction.h"

#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "common/cl_Logger.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

TEST(ScriptAction, RunsOnBehalfOfTheOwnerElseOnlyWhenBuiltAsTarqScriptAction)
{
    AssetWorld world;
    world.LoadChapter(DemoChapterFolder());
    ASSERT_TRUE(world.LoadGameState(DemoNewGameState()));
    cl_SequencePool pool;
    const struct
    {
        const char* name;
        const char* type;
        bool owner;
        const char* ran;
        const char* error;
    } cases[] = {
        {"a script of the owner", "ScriptAction", true, "string items_door", ""},
        {"either word runs for the owner", "TarqScriptAction", true, "string items_door", ""},
        {"without owner it runs as it stands", "TarqScriptAction", false, "string plain", ""},
        {"without owner a plain script action cannot run", "ScriptAction", false, "string nothing",
         "ScriptSeqAction 'lua' failed to execute!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(world.script.ExecuteString("this = 'plain' ran = 'nothing'"));
        world.log.Clear();
        std::unique_ptr<cl_SequenceAsset> sequence =
            ReadSequence(pool, std::string("<asset id='s'><action id='lua' type='") + c.type +
                                   "'>ran = this</action></asset>");
        sequence->SetOwnerLogic(c.owner ? &world.Logic("items_door") : nullptr);
        sequence->Start();
        EXPECT_EQ(ReturnedText("return ran"), c.ran);
        EXPECT_TRUE(sequence->FindAction("lua")->IsDone()) << "it finishes in every case";
        if (*c.error)
            EXPECT_TRUE(world.log.Contains(c.error, cl_Logger::LEVEL_ERROR));
        else
            EXPECT_EQ(world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
    }
}
