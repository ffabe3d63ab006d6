// A game-state tree from a save game or a chapter's new-game file, then every reader and writer on it.
// Input: the first line is an asset id, the rest the tree. Whatever the writers put in, the tree must still
// be well-formed XML when it is written out again.
#include "assets/cl_GameState.h"
#include "common/XmlParse.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{
bool Reparses(const std::string& text)
{
    TiXmlDocument document;
    ParseXml(document, text, "the printed tree");
    return !document.Error() && document.RootElement();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t lineEnd = input.find('\n');
    if (lineEnd == std::string::npos)
        return 0;
    const std::string id = input.substr(0, lineEnd);

    TiXmlDocument document;
    ParseXml(document, input.substr(lineEnd + 1), "fuzz input");
    TiXmlElement* root = document.RootElement();
    if (!root)
        return 0;
    root->SetValue("gamestate");
    // Only what TinyXML itself writes back readably can show a fault of ours.
    if (!Reparses(PrintXml(*root)))
        return 0;

    cl_GameState state;
    state.ReplaceTree(*root);
    state.GetCurrentSceneId();
    state.GetCurrentBackdrop();
    state.GetCurrentCharacterId();
    state.GetCurrentChapter();
    state.GetItemState(id);
    state.GetTopicState(id);
    state.GetSceneState(id);
    state.GetLogicState(id);
    state.GetInventoryState();
    state.GetQuestLogState();
    state.GetPartyState();
    state.GetDataBindingState();
    state.SetCurrentSceneId(id);
    state.SetCurrentBackdrop(id);
    state.SetCurrentCharacterId(id);
    state.SetCurrentChapter(id);
    state.SetCurrentHint(id, id);
    state.SetCurrentHint(state.GetCurrentCharacterId(), state.GetCurrentChapter());
    if (!Reparses(PrintXml(*state.GetRoot())))
        __builtin_trap();
    state.Clear();
    return 0;
}
