#include "assets/cl_Asset.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Tags = std::vector<std::string>;

TEST(AssetTest, TagTextsAreCutAtSingleSpaces)
{
    const struct
    {
        const char* name;
        const char* text;
        Tags tags;
    } cases[] = {
        {"two words", "a b", {"a", "b"}},
        {"three words", "a b c", {"a", "b", "c"}},
        {"a double space ends the cutting", "a  b c", {"a", "b c"}},
        {"a leading space makes one tag of the rest", " a b", {"a b"}},
        {"a trailing space adds the empty tag", "a ", {"a", ""}},
        {"one word", "a", {"a"}},
        {"no text", "", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cl_Asset::SplitTags(c.text), c.tags) << c.name;
}

TEST(AssetTest, TagsAreKeptOnceInInsertionOrder)
{
    cl_Asset asset;
    for (const char* tag : {"b", "a", "b"})
        asset.AddTag(tag);
    EXPECT_EQ(asset.GetTags(), (Tags{"b", "a"}));
}

TEST(AssetTest, HasTagsNeedsEveryTagOfANonEmptyQuery)
{
    cl_Asset asset;
    asset.AddTag("tower");
    asset.AddTag("portable");
    const struct
    {
        Tags query;
        bool expected;
    } cases[] = {
        {{"tower"}, true},
        {{"portable", "tower"}, true},
        {{"tower", "heavy"}, false},
        {{}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(asset.HasTags(c.query), c.expected) << testing::PrintToString(c.query);
    EXPECT_FALSE(cl_Asset().HasTags({})) << "an asset without tags";
}

TEST(AssetTest, SetIdAlsoSetsTheEventDataArgument)
{
    cl_Asset asset;
    asset.SetId("items_key");
    EXPECT_EQ(asset.GetId(), "items_key");
    EXPECT_EQ(asset.GetIdArgument().GetType(), cl_Argument::TYPE_STRING);
    EXPECT_EQ(asset.GetIdArgument().GetString(), "items_key");
    EXPECT_EQ(asset.GetType(), "asset");
}
} // namespace
