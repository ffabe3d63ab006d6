#pragma once

#include "ISingleton.h"
#include "common/ITarqdataParser.h"
#include "common/cl_Chapter.h"

#include <OgreScriptLoader.h>

#include <map>
#include <string>
#include <vector>

class ILoadingProgress;

// Reads every ".tdf" data file and hands each child element of its `tarqdata` root to the parser
// registered for the element's name. OGRE calls it for each such file while a resource group is
// initialised, once the application has registered it as script loader. It also keeps the chapters (it
// parses `chapterdata` itself) and loads and unloads a chapter's resource groups "SPEACHDATA" and
// "CHAPTERDATA".
//
// The first singleton the application makes and the last it destroys; main thread only.
class cl_TarqdataLoader : public ISingleton<cl_TarqdataLoader>,
                          public Ogre::ScriptLoader,
                          public ITarqdataParser
{
public:
    // Registers itself for "chapterdata".
    cl_TarqdataLoader();
    // Leaves OGRE's list of script loaders when OGRE's resource system still exists.
    ~cl_TarqdataLoader() override;

    // parser (not owned) takes the elements named name from now on, in place of an earlier one.
    void RegisterParser(const std::string& name, ITarqdataParser* parser);
    // Removes the entry only while it names this parser, so a parser that was replaced removes nothing.
    void UnregisterParser(const std::string& name, const ITarqdataParser* parser);

    // OGRE's script loader: the pattern "*.tdf", loading order 100, and each file's whole text to ParseTdf.
    const Ogre::StringVector& getScriptPatterns() const override;
    Ogre::Real getLoadingOrder() const override;
    void parseScript(Ogre::DataStreamPtr& stream, const Ogre::String& groupName) override;

    // Parses one data file's text and routes the children of its first `tarqdata` element, in document
    // order, to their parsers with group and skip; names without parser are passed over. A malformed file
    // is logged with row and column, and what was read before the error is still routed. Returns true.
    bool ParseTdf(const std::string& group, const std::string& text, const std::string& fileName, bool skip);

    // `chapterdata`: the record of its "id" (an element without id is logged and ignored) replaces any
    // earlier record of that id whole.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    // Chapter records stay until the loader is destroyed, whatever group they came from.
    void UnloadGroup(const std::string& group) override;

    // The record of the id, or an empty record (no record is added for an unknown id). Valid until the next
    // `chapterdata` of that id is parsed.
    const cl_Chapter& GetChapter(const std::string& id) const;
    // Whether a `chapterdata` element of that id was parsed.
    bool HasChapter(const std::string& id) const { return m_chapters.count(id) != 0; }
    // Appends every known chapter id in ascending order.
    void GetChapterIds(std::vector<std::string>& ids) const;
    // The pimbdata folder + the chapter's data sub-folder; "" for an unknown id.
    std::string GetChapterDataFile(const std::string& id) const;
    // The chapter's start scene; for a script, the first string among what the script system gives back
    // (from the last returned value on), "" when there is none, the script fails or there is no script
    // system. "" for an unknown id.
    std::string GetStartScene(const std::string& id) const;

    // Loads the chapter behind the chapter loading screen: the pools of its data folder, the resource
    // groups "SPEACHDATA" and "CHAPTERDATA" (the chapter's own ".tdf" files are parsed then), its
    // characters, its token files and its leaf-id files (into the spoken-text pool). Groups left from
    // an earlier load are unloaded first. An unknown id loads an empty chapter. Needs OGRE's root with its
    // automatic render window: without one it logs and does nothing. Locations and groups that OGRE refuses
    // are logged and passed over.
    void LoadChapter(const std::string& id);
    // Empties the scene, the items and the characters, and unloads "CHAPTERDATA" and then "SPEACHDATA"
    // (every parser is told first). The chapter record stays. False, doing nothing, for an empty id.
    bool UnloadChapter(const std::string& id);
    // Unloads the current chapter when there is one, forgets it and clears the game state.
    void CloseChapter();

    // The loaded chapter's id, "" when none; set by the save games when they load a chapter.
    const std::string& GetCurrentChapterId() const { return m_currentChapterId; }
    void SetCurrentChapterId(const std::string& id) { m_currentChapterId = id; }

private:
    // The chapter's pools, resource groups, characters and token files, with progress told of the pools.
    void LoadChapterData(const cl_Chapter& chapter, ILoadingProgress& progress);
    // Tells every parser (each once, in registry order) that the group goes, then unloads and destroys
    // the OGRE group when it exists.
    void UnloadResourceGroup(const std::string& group);

    Ogre::StringVector m_scriptPatterns;
    float m_loadingOrder = 100.0f;
    std::map<std::string, ITarqdataParser*> m_parsers;
    std::map<std::string, cl_Chapter> m_chapters;
    std::string m_currentChapterId;
    const cl_Chapter m_emptyChapter;
};
