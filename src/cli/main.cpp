#ifdef _WIN32
#include <io.h>
#define TESSARIN_STDERR_IS_TERMINAL (_isatty(2) != 0)
#else
#include <unistd.h>
#define TESSARIN_STDERR_IS_TERMINAL (isatty(STDERR_FILENO) != 0)
#endif

#include <iostream>
#include <string>
#include <vector>

#include "compose_command.h"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::vector<std::string> args(argv + 1, argv + argc);
  return tessarin::cli::RunComposeCommand(args, std::cout, std::cerr, TESSARIN_STDERR_IS_TERMINAL);
}
