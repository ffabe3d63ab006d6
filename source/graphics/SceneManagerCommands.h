#pragma once

class cl_Command;
class cl_SceneManager;

// Runs the command of the receiver "scenemanager" (its table, with the arguments each command reads and
// what it answers, is in the source). An unknown name does nothing and logs nothing; a command missing
// an argument, or one of the exact-count commands given another count, does nothing but warn. True when
// the command was run.
bool RunSceneManagerCommand(cl_SceneManager& scenes, cl_Command& cmd);
