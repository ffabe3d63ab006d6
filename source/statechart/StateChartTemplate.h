#pragma once

#include "statechart/BasicState.h"

#include <memory>
#include <string>

// A state chart read from an SCXML-subset file: a tree of states with their transitions and content.
// The template is plain data that interpreters run and never change, so the interpreters of every asset
// that names one file share one template of it.
class StateChartTemplate
{
public:
    // Reads the chart file at path ('\' is taken as '/'). Returns null, with a log line naming the file,
    // when the file cannot be read, is no well-formed XML (row and column given) or has no top-level
    // `scxml` element. A chart that loads may still name unknown targets or repeat an id: each is logged,
    // and such a target is a null entry of its transition's target list.
    static std::unique_ptr<StateChartTemplate> Load(const std::string& path);
    // The template of the chart file at path as long as anyone holds it, else Load's. A chapter reload,
    // which lets go of every template first, so reads edited charts anew; a file that fails to load is
    // tried (and logged) again at the next call.
    static std::shared_ptr<const StateChartTemplate> LoadShared(const std::string& path);
    // As Load, for chart text held in memory; chartName stands for the file name in log lines. Line ends
    // are taken as given (Load turns "\r\n" into "\n" as it reads).
    static std::unique_ptr<StateChartTemplate> LoadFromText(const std::string& text,
                                                            const std::string& chartName);

    explicit StateChartTemplate(std::string name);
    virtual ~StateChartTemplate();

    StateChartTemplate(const StateChartTemplate&) = delete;
    StateChartTemplate& operator=(const StateChartTemplate&) = delete;

    // Appends a top-level state: the root holds it, but its parent stays null.
    void AddTopLevelState(std::unique_ptr<BasicState> state);
    // The first state with this id, depth-first in document order, starting with the root itself (whose id
    // is empty). Null when none has it.
    const BasicState* FindState(const std::string& id) const;

    // A state of kind State with an empty id, not part of the file; its children are the top-level states.
    const BasicState& GetRoot() const { return *m_root; }
    // The path or name the chart was loaded from, for log lines.
    const std::string& GetName() const { return m_name; }

private:
    std::unique_ptr<BasicState> m_root;
    std::string m_name;
};
