#pragma once

#include "ISingleton.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"

#include <map>
#include <memory>
#include <set>
#include <string>

class cl_AssetLogic;
class cl_Minigame;

// Knows the minigames by name and runs at most one at a time; parser of the data-file element `minigame`.
class cl_MinigameManager : public ISingleton<cl_MinigameManager>, public ITarqdataParser
{
public:
    cl_MinigameManager();
    ~cl_MinigameManager() override;

    // Records the "name" of the `minigame` element (an element without name is logged and passed over).
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    // Minigame names stay for the whole run.
    void UnloadGroup(const std::string& group) override;

    // Whether a `minigame` element of that name was parsed, or a minigame added under it ("startsplash",
    // "endsplash", ...).
    bool IsRegistered(const std::string& name) const;
    // Takes over minigame (not null) as the one started under name. A minigame added under the name before
    // is ended, when it runs, and deleted.
    void AddMinigame(const std::string& name, std::unique_ptr<cl_Minigame> minigame);

    // The running minigame; null when none runs.
    cl_Minigame* GetCurrentMinigame() const { return m_current; }
    // Ends the current minigame and starts the one added under name, else the one added under "default",
    // with logic (not owned; may be null). With neither the request is logged and none runs afterwards.
    void StartMinigame(const std::string& name, cl_AssetLogic* logic);
    // Ends the current minigame, when one runs, and forgets it.
    void StopMinigame();

private:
    std::set<std::string> m_names;
    std::map<std::string, std::unique_ptr<cl_Minigame>> m_minigames;
    cl_Minigame* m_current = nullptr;
    cl_ParserRegistration m_minigameParser;
};
