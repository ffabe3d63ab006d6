#pragma once

class cl_Command;
class cl_ItemManager;

// Runs the command of the receiver "itemmanager" (its table, with the arguments each command reads, is in
// the source). A name the table lacks, or a command missing an argument it needs, does nothing but warn.
// True when the command was run.
bool RunItemManagerCommand(cl_ItemManager& items, cl_Command& cmd);
