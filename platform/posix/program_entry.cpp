// The entry point of a command-line program: argv's bytes are its arguments.

#include "platform/command_line.h"

int main(int argc, char** argv) {
  return pelvaro::platform::RunProgram(std::vector<std::string>(argv + 1, argv + argc));
}
