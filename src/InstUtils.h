// Installation utilities: paths, special folders, drive queries, temporary files, folder
// creation and file writing. None of them reports a failure: a failed system call gives
// empty text, false or nothing.
#pragma once

#include <string>

// Set by the installation run once it has built its queue and before it writes the first
// file; read by the program entry to decide whether the settings are saved at the end.
extern bool InstallStarted;

// The unit's start-up step (before any window exists): OLE initialised for the thread, then
// the shell's folder-path function looked up in shell32.dll, else in shfolder.dll.
void InstUtilsStartup();
// The unit's shut-down step (after every window is gone): the folder stack released, OLE
// uninitialised.
void InstUtilsShutdown();
