#include "assets/cl_MinigamePool.h"

#include "assets/cl_MinigameAsset.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
TEST(MinigamePool, PossibleEventsKeepFileOrderAndDuplicates)
{
    cl_MinigamePool pool;
    EXPECT_EQ(pool.GetName(), "minigames");
    TiXmlDocument document;
    document.Parse("<asset id='minigames_recipe'><possibleevent>won</possibleevent><possibleevent/>"
                   "<possibleevent>lost</possibleevent><possibleevent>won</possibleevent></asset>");
    const std::unique_ptr<cl_Asset> asset = pool.CreateAsset(document.RootElement());
    auto* minigame = dynamic_cast<cl_MinigameAsset*>(asset.get());
    ASSERT_NE(minigame, nullptr);
    EXPECT_EQ(minigame->GetType(), "minigame");
    EXPECT_EQ(minigame->GetPossibleEvents(), (std::vector<std::string>{"won", "", "lost", "won"}));

    // Reading again replaces the list.
    pool.UpdateAsset(*minigame, *document.RootElement());
    EXPECT_EQ(minigame->GetPossibleEvents().size(), 4u);
}
} // namespace
