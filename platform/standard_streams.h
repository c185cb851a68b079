#pragma once

// The command's standard streams as the platform gives them. The program's
// text is UTF-8 with LF line ends everywhere; on Windows the C library would
// turn each LF into CR LF, and a console shows bytes in its own code page.

namespace pelvaro::platform {

// Makes std::cout and std::cerr carry the program's bytes unchanged to pipes
// and files; a Windows console gets the text itself, whatever its code page.
// Call once, after std::ios::sync_with_stdio.
void PrepareStandardStreams();

// True when stderr is a terminal that can rewrite its last line ("\r", and
// "\033[K" to clear it).
bool StderrCanShowProgress();

}  // namespace pelvaro::platform
