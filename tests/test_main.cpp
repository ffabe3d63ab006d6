#include "support/DisplayRequirement.h"

#include <clocale>
#include <cstring>
#include <gtest/gtest.h>
#include <tinyxml.h>

// The program keeps XML text exactly as written and reads numbers in the "C" locale; tests do the same.
// Each test program is built with its CTest label; the window tests ("gl") need a display.
int main(int argc, char** argv)
{
    std::setlocale(LC_NUMERIC, "C");
    TiXmlBase::SetCondenseWhiteSpace(false);
    testing::InitGoogleTest(&argc, argv);
    if (std::strcmp(QUILLMERE_TEST_LABEL, "gl") == 0)
        testing::AddGlobalTestEnvironment(new DisplayRequirement);
    return RUN_ALL_TESTS();
}
