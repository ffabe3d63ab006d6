#pragma once

#include "support/TemporaryFolder.h"

// Points HOME at a fresh temporary folder (and drops XDG_CONFIG_HOME) while it lives, so the documents
// folder of the program lies inside it.
class TemporaryHome : public TemporaryFolder
{
public:
    TemporaryHome();
    ~TemporaryHome() override;

private:
    std::string m_oldHome;
    bool m_hadHome;
};
