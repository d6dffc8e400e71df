#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tessarin::cli {

inline constexpr const char* kProgramName = "tessarin-compose";

// Runs the whole command on the arguments after the program name and returns the exit code.
// Results go to out; errors, one line each, and the progress bar (only when errIsTerminal)
// go to err.
int RunComposeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      bool errIsTerminal);

}  // namespace tessarin::cli
