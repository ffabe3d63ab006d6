#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"

// Owns the items placed in the scenes; parser of the data-file elements `item` and `patchitem`.
class cl_ItemManager : public ISingleton<cl_ItemManager>, public ITarqdataParser, public ICommandReceiver
{
public:
    // Registers as the receiver "itemmanager" with distributor, which must outlive it.
    explicit cl_ItemManager(cl_CommandDistributor& distributor);

    // Called once in the game set-up, after the character manager's; nothing to set up yet.
    void Init();

    // Item definitions are not kept yet: both do nothing.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    void UnloadGroup(const std::string& group) override;

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Removes every item from the scene and the manager; no item is kept yet.
    void UnloadItems();

private:
    cl_ParserRegistration m_itemParser;
    cl_ParserRegistration m_patchItemParser;
    cl_ReceiverRegistration m_receiver;
};
