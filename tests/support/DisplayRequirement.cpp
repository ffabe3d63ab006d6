#include "support/DisplayRequirement.h"

#include "platform/Desktop.h"

void DisplayRequirement::SetUp()
{
    const std::string problem = platform::DisplayProblem();
    if (!problem.empty())
        GTEST_FAIL() << "These window tests need an X display, and " << problem
                     << ". Run them under one, e.g. with bash scripts/with-display.sh.";
}
