#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"

#include <string>

// Keeps the loaded scene and switches between scenes; parser of the data-file element `scene`.
class cl_SceneManager : public ISingleton<cl_SceneManager>, public ITarqdataParser, public ICommandReceiver
{
public:
    // Registers as the receiver "scenemanager" with distributor, which must outlive it.
    explicit cl_SceneManager(cl_CommandDistributor& distributor);

    // Sets up the curtain and the manager's resources (there are none yet); called once in the game set-up.
    void Init();

    // Scene definitions are not kept yet: both do nothing.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    void UnloadGroup(const std::string& group) override;

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // level: 0, 1 or 2 (low, mid, high).
    void SetQualityLevel(int level);
    int GetQualityLevel() const { return m_qualityLevel; }

    // Unloads the current scene (none is ever loaded yet) and forgets its name.
    void UnloadScene();
    // The current scene's name; empty when none is loaded.
    const std::string& GetCurrentSceneName() const { return m_currentSceneName; }

private:
    int m_qualityLevel = 0;
    std::string m_currentSceneName;
    cl_ParserRegistration m_sceneParser;
    cl_ReceiverRegistration m_receiver;
};
