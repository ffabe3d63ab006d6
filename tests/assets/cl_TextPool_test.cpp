#include "assets/cl_TextPool.h"

#include "assets/cl_SpokentextPool.h"
#include "assets/cl_TextAsset.h"
#include "common/cl_Localizer.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
// Adds to the pool an asset made from the `asset` element of the text, as loading a pool file does.
void AddFromXml(cl_AssetPool& pool, const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    ASSERT_NE(document.RootElement(), nullptr) << xml;
    std::unique_ptr<cl_Asset> asset = pool.CreateAsset(document.RootElement());
    asset->SetId(document.RootElement()->Attribute("id"));
    ASSERT_TRUE(pool.AddAsset(std::move(asset)));
}

class TextPoolTest : public testing::Test
{
protected:
    TextPoolTest()
    {
        TiXmlDocument document;
        document.Parse("<language><tokens>texts_both|Vom Token\ntokens_only|Nur Token\n"
                       "texts_self|texts_self\n</tokens></language>");
        m_localizer.ParseElement(document.RootElement(), "GAMEDATA", false);
        AddFromXml(m_texts, "<asset id='texts_both'><content>Aus dem Pool</content></asset>");
        AddFromXml(m_texts, "<asset id='texts_only'><content>Nur Pool</content></asset>");
        AddFromXml(m_texts, "<asset id='texts_self'><content>Selbst</content></asset>");
        AddFromXml(m_texts, "<asset id='texts_empty'/>");
        AddFromXml(m_spokentexts, "<asset id='spokentexts_hello' speakerref='characters_keeper'>"
                                  "<content>Hallo</content></asset>");
    }

    LogCapture m_log;
    cl_Localizer m_localizer;
    cl_TextPool m_texts;
    cl_SpokentextPool m_spokentexts;
};

TEST_F(TextPoolTest, TheTokenWinsThenThePoolsContentThenNothing)
{
    const struct
    {
        const char* id;
        const char* text;
    } cases[] = {
        {"texts_both", "Vom Token"},  // a token and a text
        {"tokens_only", "Nur Token"}, // no such text
        {"texts_only", "Nur Pool"},   // no such token
        {"texts_self", "Selbst"},     // a token whose text is its own name does not count
        {"texts_empty", ""},          // a text without content
        {"texts_missing", ""},        // neither
        {"spokentexts_hello", ""},    // the texts pool holds no spoken texts
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_texts.GetText(c.id), c.text) << c.id;
    EXPECT_EQ(m_spokentexts.GetText("spokentexts_hello"), "Hallo");
    EXPECT_EQ(m_spokentexts.GetText("texts_only"), "");
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST(TextPool, ReadsTheFirstContentChild)
{
    cl_TextPool pool;
    EXPECT_EQ(pool.GetName(), "texts");
    const struct
    {
        const char* xml;
        const char* content;
    } cases[] = {
        {"<asset id='a'><content>one</content><content>two</content></asset>", "one"},
        {"<asset id='a'><content/></asset>", ""},
        {"<asset id='a'/>", ""},
        {"<asset id='a'><content>&lt;Tür&gt; &amp; Tor</content></asset>", "<Tür> & Tor"},
    };
    for (const auto& c : cases)
    {
        TiXmlDocument document;
        document.Parse(c.xml);
        const std::unique_ptr<cl_Asset> asset = pool.CreateAsset(document.RootElement());
        const auto* text = dynamic_cast<const cl_TextAsset*>(asset.get());
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->GetContent(), c.content) << c.xml;
        EXPECT_EQ(text->GetType(), "text");
        EXPECT_EQ(text->GetThingType(), "text");
    }
}
} // namespace
