#pragma once

// Executable content of a state chart (entry, exit and transition content). The data binding decides
// which kinds it can run; a kind it does not know is ignored.
class IAction
{
public:
    virtual ~IAction() = default;
};
