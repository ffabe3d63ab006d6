#include "gamecomponents/SaveGameFile.h"

#include "common/LogCall.h"
#include "common/XmlParse.h"
#include "gamecomponents/SaveEntry.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>

namespace
{
const char* const WRITTEN_VERSION = "1.03";
const char* const KNOWN_VERSIONS[] = {"1.00", "1.01", "1.02", WRITTEN_VERSION};
// Marks a name that TinyXML alone escaped.
const char* const ESCAPED_ATTRIBUTE = "escaped";
const char* const ESCAPED_ONCE = "once";

std::string Version(const TiXmlElement& savegame)
{
    const char* version = savegame.Attribute("version");
    return version ? version : "1.00";
}

// The text of the first child element of that name; null when there is none or it has no text.
const char* ChildText(const TiXmlElement& parent, const char* name)
{
    const TiXmlElement* child = parent.FirstChildElement(name);
    return child ? child->GetText() : nullptr;
}

// The old writer escaped the name before TinyXML did; this undoes its escaping.
std::string UnescapeOnce(const std::string& text)
{
    static const struct
    {
        const char* entity;
        char character;
    } entities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string result;
    for (size_t i = 0; i < text.size();)
    {
        bool replaced = false;
        for (const auto& entity : entities)
        {
            const size_t length = std::strlen(entity.entity);
            if (text.compare(i, length, entity.entity) == 0)
            {
                result += entity.character;
                i += length;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            result += text[i++];
    }
    return result;
}

TiXmlElement* AppendText(TiXmlElement& parent, const char* name, const std::string& text)
{
    TiXmlElement* element = new TiXmlElement(name);
    if (!text.empty())
        element->LinkEndChild(new TiXmlText(text));
    parent.LinkEndChild(element);
    return element;
}

// The `savegame` element of a parsed document; null with a log line when there is none.
TiXmlElement* FindSaveGame(TiXmlDocument& document, const std::string& fileName)
{
    if (document.Error())
    {
        LOG_ERROR("The save game %s is no XML (row %i col %i: %s)", fileName.c_str(), document.ErrorRow(),
                  document.ErrorCol(), document.ErrorDesc());
        return nullptr;
    }
    TiXmlElement* savegame = document.FirstChildElement("savegame");
    if (!savegame)
        LOG_ERROR("The file %s is no save game: it has no element 'savegame'", fileName.c_str());
    return savegame;
}

// ---------------------------------------------------------------------------------------------------
// Version conversion

TiXmlElement* FindChild(TiXmlElement* parent, const char* name, const char* attribute, const char* value)
{
    for (TiXmlElement* child = parent ? parent->FirstChildElement(name) : nullptr; child;
         child = child->NextSiblingElement(name))
    {
        const char* found = child->Attribute(attribute);
        if (found && std::strcmp(found, value) == 0)
            return child;
    }
    return nullptr;
}

void RemoveChild(TiXmlElement* parent, const char* name, const char* attribute, const char* value)
{
    if (TiXmlElement* child = FindChild(parent, name, attribute, value))
        parent->RemoveChild(child);
}

TiXmlElement* FindLogic(TiXmlElement* logics, const char* assetId)
{
    return FindChild(logics, "logic", "idref", assetId);
}

void RemoveState(TiXmlElement* logic, const char* stateId)
{
    RemoveChild(logic, "state", "stateid", stateId);
}

void AddState(TiXmlElement* logic, const char* stateId)
{
    if (!logic)
        return;
    TiXmlElement* state = new TiXmlElement("state");
    state->SetAttribute("stateid", stateId);
    logic->LinkEndChild(state);
}

const char* const FAIR_TOPICS[] = {"topics_schausteller_topic_kaninchen",
                                   "topics_schausteller_topic_zylinder"};
const char* const FAIR_ITEMS[] = {"items_kaninchen", "items_zylinder"};

// Version 1.00 could leave the showman's two topics open after the teacher's topic had ended them.
void ConvertFair(TiXmlElement& gamestate)
{
    TiXmlElement* logics = gamestate.FirstChildElement("logics");
    if (!logics)
        return;
    TiXmlElement* teacher = FindLogic(logics, "topics_lehrer_top_04");
    const bool teacherDone =
        FindChild(teacher, "state", "stateid", "inactive") || FindChild(teacher, "state", "stateid", "seq01");
    if (!teacherDone)
    {
        for (const char* topic : FAIR_TOPICS)
        {
            TiXmlElement* logic = FindLogic(logics, topic);
            RemoveState(logic, "no2");
            RemoveState(logic, "yes2");
            AddState(logic, "yes2");
        }
        return;
    }
    for (const char* topic : FAIR_TOPICS)
    {
        TiXmlElement* logic = FindLogic(logics, topic);
        for (const char* state : {"seq01", "seq02", "spoken", "inactive"})
            RemoveState(logic, state);
        AddState(logic, "inactive");
        RemoveState(logic, "no2");
        AddState(logic, "no2");
    }
    TiXmlElement* topics = gamestate.FirstChildElement("topics");
    for (const char* topic : FAIR_TOPICS)
    {
        if (TiXmlElement* state = FindChild(topics, "topic", "idref", topic))
            state->SetAttribute("active", "false");
    }
    TiXmlElement* showman =
        FindChild(gamestate.FirstChildElement("items"), "item", "idref", "characters_schausteller");
    for (const char* item : FAIR_ITEMS)
        RemoveChild(showman, "interactmouseover", "itemref", item);
    TiXmlElement* showmanLogic = FindLogic(logics, "characters_schausteller");
    for (const char* item : FAIR_ITEMS)
        RemoveChild(showmanLogic, "interactionitem", "item", item);
}

// The termite's click mesh was saved hidden.
void ConvertTermite(TiXmlElement& gamestate)
{
    TiXmlElement* element = gamestate.FirstChildElement("charactermanager");
    for (const char* name : {"characters_termite", "submeshes", "clickmesh"})
        element = element ? element->FirstChildElement(name) : nullptr;
    if (element)
        element->SetAttribute("visible", "true");
}
} // namespace

namespace SaveGameFile
{
TiXmlElement* Parse(TiXmlDocument& document, const std::string& text, const std::string& fileName)
{
    ParseXml(document, text, fileName);
    return FindSaveGame(document, fileName);
}

TiXmlElement* Load(TiXmlDocument& document, const std::string& path)
{
    if (!LoadXmlFile(document, path))
    {
        LOG_ERROR("Couldn't read the save game %s", path.c_str());
        return nullptr;
    }
    return FindSaveGame(document, path);
}

bool CanLoad(const TiXmlElement& savegame, const std::string& fileName)
{
    const std::string version = Version(savegame);
    bool known = false;
    for (const char* candidate : KNOWN_VERSIONS)
        known = known || version == candidate;
    if (!known)
    {
        LOG_ERROR("The save game %s has the version '%s', which this game cannot read", fileName.c_str(),
                  version.c_str());
        return false;
    }
    if (!savegame.FirstChildElement("gamestate"))
    {
        LOG_ERROR("The save game %s holds no game state", fileName.c_str());
        return false;
    }
    return true;
}

void ReadHeader(const TiXmlElement& savegame, const std::string& path, SaveEntry& entry)
{
    entry.file = path;
    if (const char* name = ChildText(savegame, "name"))
    {
        const char* escaped = savegame.FirstChildElement("name")->Attribute(ESCAPED_ATTRIBUTE);
        entry.name = escaped && std::strcmp(escaped, ESCAPED_ONCE) == 0 ? name : UnescapeOnce(name);
    }
    if (const char* chapter = ChildText(savegame, "chapter"))
        entry.chapter = chapter;
    if (const char* section = ChildText(savegame, "section"))
        entry.section = section;
    if (const char* datetime = ChildText(savegame, "datetime"))
    {
        // Older files wrote 32 bits, which end in 2038; any decimal that fits 64 bits reads.
        entry.date = platform::LocalTime();
        platform::LocalTime64(std::strtoll(datetime, nullptr, 10), entry.date);
    }
    if (const char* played = ChildText(savegame, "played"))
        entry.played = std::atoi(played);
    const TiXmlElement* gamestate = savegame.FirstChildElement("gamestate");
    entry.difficulty = gamestate ? ReadDifficulty(*gamestate) : 0;
}

int ReadDifficulty(const TiXmlElement& gamestate)
{
    const TiXmlElement* element = &gamestate;
    for (const char* name : {"databinding", "_globals"})
        element = element ? element->FirstChildElement(name) : nullptr;
    const char* difficulty = element ? ChildText(*element, "difficulty") : nullptr;
    return difficulty ? std::atoi(difficulty) : 0;
}

void Convert(TiXmlElement& savegame)
{
    TiXmlElement* gamestate = savegame.FirstChildElement("gamestate");
    const char* chapter = ChildText(savegame, "chapter");
    if (!gamestate || !chapter)
        return;
    if (std::strcmp(chapter, "chapter2") == 0 && Version(savegame) == "1.00")
        ConvertFair(*gamestate);
    // Compared with a section name, as it always was: chapter ids have no such form.
    if (std::strcmp(chapter, "chapter4_3") == 0)
        ConvertTermite(*gamestate);
}

std::string Write(const SaveEntry& entry, const TiXmlElement& gamestate)
{
    TiXmlDocument document;
    TiXmlElement* savegame = new TiXmlElement("savegame");
    document.LinkEndChild(savegame);
    savegame->SetAttribute("version", WRITTEN_VERSION);
    AppendText(*savegame, "name", entry.name)->SetAttribute(ESCAPED_ATTRIBUTE, ESCAPED_ONCE);
    AppendText(*savegame, "chapter", entry.chapter);
    AppendText(*savegame, "section", entry.section);
    AppendText(*savegame, "datetime", std::to_string(entry.date.time));
    AppendText(*savegame, "played", std::to_string(entry.played));
    // Printed as PrintXml prints the document with the game state as the last child of savegame, but
    // without copying the whole tree into it first; the game state lies two levels below the document.
    TiXmlPrinter printer;
    ChoosePrintLayout(printer, 2 + ElementDepth(gamestate));
    printer.VisitEnter(document);
    printer.VisitEnter(*savegame, savegame->FirstAttribute());
    for (const TiXmlNode* child = savegame->FirstChild(); child; child = child->NextSibling())
        child->Accept(&printer);
    gamestate.Accept(&printer);
    printer.VisitExit(*savegame);
    printer.VisitExit(document);
    return printer.Str();
}
} // namespace SaveGameFile
