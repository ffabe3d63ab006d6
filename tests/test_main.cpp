#include <clocale>
#include <gtest/gtest.h>
#include <tinyxml.h>

// The program keeps XML text exactly as written and reads numbers in the "C" locale; tests do the same.
int main(int argc, char** argv)
{
    std::setlocale(LC_NUMERIC, "C");
    TiXmlBase::SetCondenseWhiteSpace(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
