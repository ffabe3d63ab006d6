#include "assets/cl_TextAsset.h"

#include "support/RepeatedText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(TextAsset, ThingTextsAreCutAfterFiftyCharactersNeverInsideOne)
{
    const std::string fifty = Repeat("a", 50);
    const struct
    {
        const char* name;
        std::string content;
        std::string thingText;
    } cases[] = {
        {"empty", "", ""},
        {"50 characters stay", fifty, fifty},
        {"51 characters", fifty + "b", fifty + "..."},
        {"50 characters in 51 bytes stay", Repeat("a", 49) + "ü", Repeat("a", 49) + "ü"},
        {"a two-byte character at the cut", Repeat("a", 49) + "üb", Repeat("a", 49) + "ü..."},
        {"a four-byte character at the cut",
         Repeat("a", 49) + "\xF0\x9F\x94\x91"
                           "b",
         Repeat("a", 49) + "\xF0\x9F\x94\x91..."},
        {"fifty two-byte characters stay", Repeat("ü", 50), Repeat("ü", 50)},
        {"a multi-byte character just behind the cut", fifty + "ü", fifty + "..."},
    };
    for (const auto& c : cases)
    {
        cl_TextAsset text;
        text.SetContent(c.content);
        EXPECT_EQ(text.GetThingText(), c.thingText) << c.name;
    }
}
} // namespace
