#include "common/cl_logIngame.h"

#include "gui/cl_TarqTextAreaOverlayElement.h"
#include "gui/cl_TarqTextAreaOverlayElementFactory.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <memory>

namespace
{
// The view over OGRE's overlays without a window: its lines have no font, so each is one character
// height (0.0275) tall.
class LogView : public testing::Test
{
protected:
    LogView() { cl_TarqTextAreaOverlayElementFactory::AddTo(Ogre::OverlayManager::getSingleton()); }

    void Log(const char* text, int level = cl_Logger::LEVEL_WARNING) { m_log.Log(text, level); }

    LogCapture m_capture;
    cl_TarqLog& m_log = dynamic_cast<cl_TarqLog&>(*cl_Logger::GetInstance());
    HeadlessOgre m_ogre;
    std::unique_ptr<Ogre::OverlaySystem> m_overlays = std::make_unique<Ogre::OverlaySystem>();
    cl_logIngame m_view;
};

TEST_F(LogView, ShowsNothingUntilEnabled)
{
    Log("before");
    EXPECT_EQ(m_view.GetLineCount(), 0u);
    m_view.Enable(cl_Logger::LEVEL_ERROR | cl_Logger::LEVEL_WARNING);
    Log("after");
    ASSERT_EQ(m_view.GetLineCount(), 1u);
    EXPECT_EQ(m_view.GetLine(0).getCaption().asUTF8(), "after");
    m_view.Disable();
    Log("disabled");
    EXPECT_EQ(m_view.GetLineCount(), 0u);
    EXPECT_FALSE(Ogre::OverlayManager::getSingleton().hasOverlayElement("LogIngame_msg00"));
}

TEST_F(LogView, ShowsLevelsThatShareABitWithItsFilter)
{
    m_view.Enable(cl_Logger::LEVEL_ERROR | cl_Logger::LEVEL_WARNING);
    Log("error", cl_Logger::LEVEL_ERROR);
    Log("information", cl_Logger::LEVEL_INFO);
    Log("dialog warning", cl_Logger::LEVEL_WARNING | cl_Logger::TOPIC_DIALOG);
    ASSERT_EQ(m_view.GetLineCount(), 2u);
    EXPECT_EQ(m_view.GetLine(0).getCaption().asUTF8(), "error");
    EXPECT_EQ(m_view.GetLine(1).getCaption().asUTF8(), "dialog warning");
}

TEST_F(LogView, StacksLinesFromTheTopLeftNewestLast)
{
    m_view.Enable(0xFFFFFFFF);
    Log("first");
    Log("second");
    EXPECT_EQ(m_view.GetLine(0).getLeft(), 0.0f);
    EXPECT_EQ(m_view.GetLine(0).getTop(), 0.0f);
    EXPECT_FLOAT_EQ(m_view.GetLine(1).getTop(), 0.0275f);
    EXPECT_EQ(m_view.GetLine(1).getName(), "LogIngame_msg01");
}

TEST_F(LogView, LinesAgeOutAfterFiveSeconds)
{
    m_view.Enable(0xFFFFFFFF);
    Log("old");
    m_view.Update(3.0f);
    Log("new");
    m_view.Update(2.0f);
    EXPECT_EQ(m_view.GetLineCount(), 2u) << "five seconds are not above five";
    m_view.Update(0.5f);
    ASSERT_EQ(m_view.GetLineCount(), 1u);
    EXPECT_EQ(m_view.GetLine(0).getCaption().asUTF8(), "new");
    EXPECT_EQ(m_view.GetLine(0).getTop(), 0.0f) << "the rest moves up";
    m_view.Update(2.6f);
    EXPECT_EQ(m_view.GetLineCount(), 0u);
}

TEST_F(LogView, KeepsBelowThreeQuartersOfTheScreenByDroppingTheOldest)
{
    m_view.Enable(0xFFFFFFFF);
    for (int line = 0; line < 40; ++line)
        Log(("line " + std::to_string(line)).c_str());
    // 27 lines of 0.0275 stand 0.7425 tall; a 28th would reach 0.77.
    ASSERT_EQ(m_view.GetLineCount(), 27u);
    EXPECT_EQ(m_view.GetLine(0).getCaption().asUTF8(), "line 13");
    EXPECT_EQ(m_view.GetLine(26).getCaption().asUTF8(), "line 39");
}

TEST_F(LogView, ShowsUndecodableTextWithReplacementCharacters)
{
    m_view.Enable(0xFFFFFFFF);
    Log("file \xFF.xml");
    ASSERT_GE(m_view.GetLineCount(), 1u);
    EXPECT_EQ(m_view.GetLine(m_view.GetLineCount() - 1).getCaption().asUTF8(), "file \xEF\xBF\xBD.xml");
}
} // namespace
