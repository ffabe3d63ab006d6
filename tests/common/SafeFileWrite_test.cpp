#include "common/SafeFileWrite.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <boost/filesystem/operations.hpp>
#include <gtest/gtest.h>

namespace
{
namespace fs = boost::filesystem;

TEST(WriteFileSafely, ReplacesTheFileOnlyWhenTheWholeWriteSucceeded)
{
    struct Case
    {
        const char* name;
        const char* old;         // nullptr: no file before
        bool blockTemporaryFile; // a folder stands where the temporary file goes
        bool targetIsFolder;     // a folder with content stands where the file goes
        bool written;
    } cases[] = {
        {"new file", nullptr, false, false, true},
        {"replaced file", "old", false, false, true},
        {"temporary file can't be made", "old", true, false, false},
        {"rename fails", nullptr, false, true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        LogCapture log;
        const std::string path = folder.PathOf("file.xml");
        if (c.old)
            WriteTextFile(path, c.old);
        if (c.blockTemporaryFile)
            fs::create_directories(path + ".tmp");
        if (c.targetIsFolder)
            WriteTextFile(path + "/inside", "x");

        EXPECT_EQ(WriteFileSafely(path, "new"), c.written);
        const char* expected = c.written ? "new" : c.old;
        if (expected)
        {
            EXPECT_EQ(ReadTextFile(path), expected);
        }
        EXPECT_EQ(log.Contains(path, cl_Logger::LEVEL_ERROR), !c.written);
        EXPECT_EQ(fs::exists(path + ".tmp"), c.blockTemporaryFile);
    }
}
} // namespace
