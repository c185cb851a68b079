#pragma once

// The program's arguments as the system hands them over.

#include <string>
#include <vector>

namespace pelvaro::platform {

// Whether argv's bytes are the arguments exactly. On Windows argv holds them
// in the ANSI code page and loses every character it lacks; there they come
// from the UTF-16 command line instead.
bool NarrowArgumentsAreExact();

// A command-line program's work, given its arguments after the program's
// name in UTF-8; the platform's entry point (program_entry.cpp) calls it.
int RunProgram(const std::vector<std::string>& args);

}  // namespace pelvaro::platform
