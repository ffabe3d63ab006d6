#include "support/TemporaryHome.h"

#include <cstdlib>

TemporaryHome::TemporaryHome()
{
    const char* home = std::getenv("HOME");
    m_hadHome = home != nullptr;
    m_oldHome = home ? home : "";
    setenv("HOME", Path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}

TemporaryHome::~TemporaryHome()
{
    if (m_hadHome)
        setenv("HOME", m_oldHome.c_str(), 1);
    else
        unsetenv("HOME");
}
