#pragma once

// An interrupted write leaves no temporary file behind: the name of the one
// being written is kept where a signal handler (POSIX) or the console's
// Ctrl+C thread (Windows) can find it and remove the file.

#include <string>

namespace pelvaro::platform {

// Recorded before the file is made, so that a signal at any moment finds the
// name of whatever file may stand there; a handler that removes a name not
// made yet removes nothing. One name at a time.
void RememberPendingFile(const std::string& path);
void ForgetPendingFile();

// Removes the file of a write in progress, if any. Safe to call from a signal handler.
void RemovePendingTemporaryFile() noexcept;

// Makes SIGINT, SIGTERM, SIGHUP and SIGQUIT (Ctrl+C and Ctrl+Break on
// Windows) remove the temporary file of a write in progress before they end
// the program as they would have. Called once at start by each program.
void RemoveTemporaryFilesOnTermination();

// This process's number, which keeps temporary names of two programs apart.
unsigned long ProcessId();

}  // namespace pelvaro::platform
