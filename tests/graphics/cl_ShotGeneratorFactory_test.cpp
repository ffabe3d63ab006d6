#include "graphics/cl_ShotGeneratorFactory.h"

#include "graphics/cl_MixedShotGenerator.h"
#include "graphics/cl_MultiShotGenerator.h"
#include "graphics/cl_PanShotGenerator.h"
#include "graphics/cl_RectangleShotGenerator.h"
#include "graphics/cl_ShakingShotGenerator.h"
#include "graphics/cl_SplineShotGenerator.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

TEST(ShotGeneratorFactory, BuildsByTheTypeWord)
{
    BackdropWorld world;
    struct Case
    {
        const char* type;
        const std::type_info* built;
    };
    const Case cases[] = {
        {"mixed", &typeid(cl_MixedShotGenerator)},
        {"spline", &typeid(cl_SplineShotGenerator)},
        {"rectangle", &typeid(cl_RectangleShotGenerator)},
        {"shake", &typeid(cl_ShakingShotGenerator)},
        {"shake2d", &typeid(cl_ShakingShotGenerator)},
        {"shake3d", &typeid(cl_ShakingShotGenerator)},
        {"multi", &typeid(cl_MultiShotGenerator)},
        {"pan", &typeid(cl_PanShotGenerator)},
        {"Mixed", nullptr},
        {"", nullptr},
    };
    for (const Case& test : cases)
    {
        const std::unique_ptr<cl_ShotGenerator> generator =
            world.Generator(std::string(R"(<shotactivator name="g" type=")") + test.type + "\"/>");
        if (!test.built)
        {
            EXPECT_EQ(generator, nullptr) << test.type;
            continue;
        }
        ASSERT_NE(generator, nullptr) << test.type;
        const cl_ShotGenerator& built = *generator;
        EXPECT_EQ(typeid(built), *test.built) << test.type;
    }
}
