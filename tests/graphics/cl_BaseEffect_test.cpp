#include "graphics/cl_BaseEffect.h"

#include "common/cl_Argument.h"
#include "common/cl_LuaScriptSystem.h"
#include "common/cl_StaticFloat.h"
#include "common/cl_ValueSourceManager.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// Records what it is told to do.
class RecordingEffect : public cl_BaseEffect
{
public:
    explicit RecordingEffect(bool active) : cl_BaseEffect("test", "recorder", active) {}
    void Unload() override {}
    void SetEnabled(bool enabled) override { calls.push_back(enabled); }

    std::vector<bool> calls;
};

TEST(BaseEffect, SetEnabledRunsOnlyWhenTheActiveFlagChanges)
{
    const struct
    {
        bool startsActive;
        std::vector<bool> settings;
        std::vector<bool> calls;
    } cases[] = {
        {true, {true}, {}},
        {false, {true}, {true}},
        {true, {false, false, true, true}, {false, true}},
    };
    for (const auto& c : cases)
    {
        RecordingEffect effect(c.startsActive);
        for (bool active : c.settings)
            effect.SetActive(active);
        EXPECT_EQ(effect.calls, c.calls);
    }
}

TEST(BaseEffect, TheActiveParameterTakesABoolAndWarnsForAnythingElse)
{
    LogCapture log;
    RecordingEffect effect(true);
    cl_Argument number;
    number.SetInt(0);
    effect.SetParameter("active", number);
    EXPECT_FALSE(effect.IsActive());
    EXPECT_TRUE(log.Contains("Stored data-type is not a 'bool'.", cl_Logger::LEVEL_WARNING));
    cl_Argument yes;
    yes.SetBool(true);
    effect.SetParameter("Active", yes);
    EXPECT_FALSE(effect.IsActive());
    effect.SetParameter("active", yes);
    EXPECT_TRUE(effect.IsActive());
    effect.SetParameter("speed", 0.0f);
    EXPECT_TRUE(effect.IsActive());
}

TEST(BaseEffect, FloatSourceChildrenBindByTargetTheLaterWinningAndUnknownNamesBindNothing)
{
    cl_LuaScriptSystem script;
    ManualGameTime gameTime(script);
    cl_ValueSourceManager sources(script, gameTime);
    sources.AddFloatSource("wave", std::make_unique<cl_StaticFloat>(1.0f));
    sources.AddFloatSource("flicker", std::make_unique<cl_StaticFloat>(2.0f));
    TiXmlDocument document;
    document.Parse(R"(<effect><floatsource target="rate">wave</floatsource>
        <floatsource target="rate">flicker</floatsource><floatsource target="size">nothing</floatsource>
        <floatsource>wave</floatsource></effect>)");
    RecordingEffect effect(true);
    effect.LoadFromXml(*document.RootElement(), nullptr);
    const auto& bindings = effect.GetFloatSourceBindings();
    ASSERT_EQ(bindings.size(), 3u);
    EXPECT_EQ(bindings.at("rate"), sources.GetFloatSource("flicker"));
    EXPECT_EQ(bindings.at("size"), nullptr);
    EXPECT_EQ(bindings.at(""), sources.GetFloatSource("wave"));
}
} // namespace
