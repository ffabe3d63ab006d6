#include "platform/NumericLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <string>

namespace
{
TEST(UseCNumericLocale, SwitchesNumbersToTheCLocale)
{
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    // A comma locale shows the point best; C.UTF-8 is always there and still differs by name.
    const bool switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "C.UTF-8");
    ASSERT_TRUE(switched);
    platform::UseCNumericLocale();
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    char text[16];
    std::snprintf(text, sizeof(text), "%.1f", 2.5);
    EXPECT_STREQ(text, "2.5");
    std::setlocale(LC_NUMERIC, before.c_str());
}
} // namespace
