#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"
#include "common/cl_ReceiverRegistration.h"

#include <map>
#include <memory>
#include <string>

class CommandArguments;
class TiXmlElement;
class cl_FloatSource;
class cl_GameTime;

// Owns every value source by its unique name, advances them once per frame ("default" time group,
// priority 0, so before the listeners that follow them), builds them from a scene's `valuesources`
// element and is the command receiver "valuemanager". Whoever keeps a pointer to a source must listen for
// OnSourceDestroyed or look the source up again.
class cl_ValueSourceManager : public ISingleton<cl_ValueSourceManager>,
                              public IGameTimeListener,
                              public ICommandReceiver
{
public:
    // Registers with gameTime and as the receiver "valuemanager" with distributor; both must outlive it.
    cl_ValueSourceManager(cl_CommandDistributor& distributor, cl_GameTime& gameTime);
    // Deletes every source in ascending name order; their listeners are told.
    ~cl_ValueSourceManager() override;

    // Builds a source from each `float` child of a `valuesources` element, in document order, so a source
    // can follow only sources declared before it (or held already). A float without name, of an unknown
    // type or following a missing source is logged and skipped; a parameter that is missing or no number
    // keeps its default. False for a null element (a scene without value sources), and with an error log
    // line for one of another name.
    bool LoadFromXml(const TiXmlElement* element);
    // Deletes the sources named by the `name` attributes of the `float` children of a `valuesources`
    // element; names without a source are skipped. Null removes nothing; another element is logged and
    // removes nothing.
    void RemoveByXml(const TiXmlElement* element);

    // Takes the source under name, deleting a source held under that name before (its listeners are
    // told). A null source is logged and changes nothing.
    void AddFloatSource(const std::string& name, std::unique_ptr<cl_FloatSource> source);
    // The source of that name, or null. The manager keeps owning it.
    cl_FloatSource* GetFloatSource(const std::string& name) const;
    // The source's value; 0.0 when there is no such source.
    float GetValue(const std::string& name) const;
    // Deletes the source if the manager holds it; nothing otherwise.
    void RemoveFloatSource(cl_FloatSource* source);

    // Every source in ascending name order gets dt, or 0 while it is switched off.
    void Update(float dt) override;

    // The receiver "valuemanager": its commands, the arguments each reads and what it does are the table in
    // ExecuteCmd. A command missing a required argument is refused with a warning (CommandArguments);
    // unknown commands are ignored. Answers true when the command was carried out.
    bool ExecuteCmd(cl_Command& cmd) override;

private:
    bool GetValueCmd(const CommandArguments& args, cl_Command& cmd);
    bool SetValueCmd(const CommandArguments& args, cl_Command& cmd);
    bool SetActiveCmd(const CommandArguments& args, cl_Command& cmd);

    std::map<std::string, std::unique_ptr<cl_FloatSource>> m_sources;
    cl_GameTimeRegistration m_frames;
    cl_ReceiverRegistration m_receiver;
};
