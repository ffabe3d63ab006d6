#pragma once

#include "statechart/IDataBinding.h"

#include <string>

// The data binding of every state chart: conditions and script content are Lua text, run by the script
// system. While a condition or script runs, the Lua global `this` holds the value of the global named by
// the owner id (the asset logic sets that to the asset id) and `eventdata` the event's data; both get
// their old values back afterwards, so nested runs (a script sending an event to another chart) leave the
// outer run's view as it was.
//
// Globals are read and written as command arguments, which sets the limits of that restoring: a global
// that is nil (or a function) before the run is not written back, so it keeps the value given for the
// run, and without event data "eventdata" keeps whatever value it had. A global that cannot be read is
// logged by the script system. The script system must live as long as the binding.
class cl_SCLuaDataBinding : public IDataBinding
{
public:
    // Touches no Lua state.
    cl_SCLuaDataBinding() = default;

    // Runs "return " + condition; the first boolean among the results (the last returned value comes
    // first) is the answer. Without a boolean (no value, a number, a string, a Lua error) the error
    // "A condition could not be evaluated: ..." is logged and the answer is true, so the transition or
    // trigger fires. False while disabled.
    bool EvaluateCondition(const std::string& condition, const cl_Argument* eventData,
                           std::string ownerId) override;
    // Runs the Lua text of a cl_ScriptAction; other kinds of action (and null) are ignored. A Lua error is
    // logged by the script system, followed by a line naming the owner. Nothing runs while disabled.
    void ExecuteAction(const IAction* action, const cl_Argument* eventData, std::string ownerId) override;
    // Nothing to do for this binding.
    void NotifyStateExit(const std::string& stateId, std::string ownerId) override;

    // Runs Lua text with only `this` bound (for the script actions of sequences); "eventdata" stays as it
    // is. Failures are logged as for ExecuteAction. Nothing runs while disabled.
    void RunScript(const std::string& script, const std::string& ownerId);
    // While disabled, every condition is false and no content runs, without a log line. Set while pools
    // are deleted, reloaded or restored, so that charts stopped meanwhile run no exit content.
    void SetDisabled(bool disabled) { m_disabled = disabled; }

    // Replaces the children of the game state's "databinding" element with the script globals
    // (`_globals`), for a save game. Without a game-state tree or a script system it logs an error and
    // leaves the element as it is.
    static void SaveGlobals();

private:
    bool m_disabled = false;
};
