#include "assets/cl_SequencePool.h"

#include "assets/cl_SeqAction.h"

#include "support/ActionProbe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(SequenceActionTypes, AttributesAreReadWithTheirDefaultsAndWrittenBack)
{
    const struct
    {
        const char* name;
        const char* xml;
        std::vector<const char*> written;
    } cases[] = {
        {"exact rotation and position by default",
         "<action type='MoveToPositionAction' locationref='door'/>",
         {"locationref=\"door\"", "rottol=\"0.000000\"", "postol=\"0.000000\""}},
        {"\"false\" allows any rotation and 50 units",
         "<action type='MoveToPositionAction' exactrot='false' exactpos='false'/>",
         {"rottol=\"360.000000\"", "postol=\"50.000000\""}},
        {"a tolerance overrides the exact flag",
         "<action type='MoveToPositionAction' exactrot='false' rottol='15' exactpos='yes' postol='7.5'/>",
         {"rottol=\"15.000000\"", "postol=\"7.500000\""}},
        {"only \"false\" loosens the animation start",
         "<action type='MoveToAnimoAction' exactMatch='False'/>",
         {"exactMatch=\"true\""}},
        {"\"false\" does",
         "<action type='MoveToAnimoAction' exactMatch='false' movingchar='avatar'/>",
         {"exactMatch=\"false\""}},
        {"a volume above 1 plays at 1",
         "<action type='PlaySoundAction' soundid='creak' volume='1.5'/>",
         {"soundid=\"creak\"", "volume=\"1.000000\""}},
        {"a negative volume plays at 0",
         "<action type='PlaySoundAction' volume='-1' virtualchannel='v'/>",
         {"volume=\"0.000000\"", "virtualchannel=\"v\""}},
        {"fade times are written whole",
         "<action type='StopSoundAction' virtualchannel='v' fadetime='2.5' fadetype='cross'/>",
         {"fadetime=\"2\"", "fadetype=\"cross\"", "preserveCurrent=\"false\""}},
        {"an unknown fade type is none",
         "<action type='StopSoundAction' fadetype='slow' preserveCurrent='true'/>",
         {"fadetype=\"none\"", "preserveCurrent=\"true\""}},
        {"a fade number that does not parse keeps its default",
         "<action type='FadePatchAction' patchname='p' fadetime='soon' startalpha='0.5'/>",
         {"patchname=\"p\"", "startalpha=\"0\"", "endalpha=\"0\"", "fadetime=\"1\""}},
        {"an object fade names its texture unit",
         "<action type='FadeObjectAction' object='door' subEntity='1' pass='2' textureUnit='3' "
         "endalpha='1'/>",
         {"subEntity=\"1\"", "pass=\"2\"", "textureUnit=\"3\"", "endalpha=\"1\""}},
        {"a plain animation action plays on a character",
         "<action type='PlayAnimationAction' character='characters_keeper' animationname='nod'/>",
         {"type=\"PlayCharacterAnimationAction\"", "character=\"characters_keeper\"", "skip=\"false\""}},
        {"an item attribute, even empty, makes an item animation",
         "<action type='PlayAnimationAction' item='' skip='true' parent='hook'><offset>1 2 "
         "3</offset></action>",
         {"type=\"PlayItemAnimationAction\"", "item=\"\"", "skip=\"true\"", "parent=\"hook\"",
          "<offset>1 2 3</offset>"}},
        {"a line is skippable unless \"false\"",
         "<action type='SpeachAction' textref='t' skip='no'/>",
         {"delay=\"0.500000\"", "skip=\"true\""}},
        {"an unskippable line",
         "<action type='SpeachAction' skip='false' delay='0'/>",
         {"delay=\"0.000000\"", "skip=\"false\""}},
        {"emotion defaults",
         "<action type='EmotionAction' emotion='glad'/>",
         {"temp=\"false\"", "fadein=\"0.500000\"", "fadeout=\"0.500000\"", "strength=\"1.000000\""}},
        {"focus flags",
         "<action type='FocusAction' targetref='camera' turn='true' sweepangle='20'/>",
         {"turn=\"true\"", "turntolerance=\"0.000000\"", "sweepangle=\"20.000000\""}},
        {"camera curves are linear by default",
         "<action type='CameraControlAction' shot1='a' shot2='b'/>",
         {"duration=\"0.000000\"", "focustween=\"linear\"", "zoomtween=\"linear\"", "skip=\"false\""}},
        {"subtitles of the avatar by default",
         "<action type='SpeachPositionAction' offsetX='0.5'/>",
         {"charref=\"avatar\"", "offsetX=\"0.500000\""}},
        {"curtain fades", "<action type='FadeToBlackAction' duration='1.5'/>", {"duration=\"1.500000\""}},
        {"a movie", "<action type='PlayMovieAction' movieref='intro.ogv'/>", {"movieref=\"intro.ogv\""}},
        {"a placement",
         "<action type='PlaceAction' objref='items_lamp' poshelper='avatar'/>",
         {"objref=\"items_lamp\"", "poshelper=\"avatar\""}},
    };
    for (const auto& c : cases)
    {
        const ActionProbe probe(c.xml);
        const std::string written = probe.Written();
        for (const char* part : c.written)
            EXPECT_NE(written.find(part), std::string::npos) << c.name << ": " << part << " in " << written;
    }
}

TEST(SequenceActionTypes, EveryTypeWordMakesItsType)
{
    const char* const words[] = {"FocusAction",
                                 "TurnToAction",
                                 "UnFocusAction",
                                 "EmotionAction",
                                 "SpeachAction",
                                 "OnScreenTextAction",
                                 "PlayCharacterAnimationAction",
                                 "FadePatchAction",
                                 "FadeObjectAction",
                                 "PlaySoundAction",
                                 "StopSoundAction",
                                 "MoveToAnimoAction",
                                 "MoveToInteractionTargetAction",
                                 "MoveToAction",
                                 "MoveToCharacterAction",
                                 "MoveToPositionAction",
                                 "PlaceAction",
                                 "PlaceAtAnimoAction",
                                 "CameraControlAction",
                                 "VisualStateAction",
                                 "SpeachPositionAction",
                                 "EyeSweepAction",
                                 "FadeToBlackAction",
                                 "FadeFromBlackAction",
                                 "PlayMovieAction"};
    for (const char* word : words)
    {
        const ActionProbe probe(std::string("<action type='") + word + "'/>");
        EXPECT_EQ(probe.Action().GetTypeName(), word);
    }
    // The animation's kind follows its target attribute, whichever of its words the data uses.
    EXPECT_EQ(ActionProbe("<action type='PlayItemAnimationAction' item='items_key'/>").Action().GetTypeName(),
              "PlayItemAnimationAction");
    EXPECT_EQ(ActionProbe("<action type='PlayAnimationAction'/>").Action().GetTypeName(),
              "PlayCharacterAnimationAction");
}
