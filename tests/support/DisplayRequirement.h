#pragma once

#include <gtest/gtest.h>

// The window tests' precondition: without an X display they stop before the first test with one message
// that says so, instead of failing one by one inside OGRE.
class DisplayRequirement : public testing::Environment
{
public:
    void SetUp() override;
};
