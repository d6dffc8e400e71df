#pragma once

#include <string>
#include <utility>

namespace tessarin::cli {

// Process exit codes; scripts branch on them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitWriteFailed = 3;

// A failure that ends the command: the exit code and one line for the user.
struct CliError {
  int exitCode = kExitUsage;
  std::string message;
};

inline CliError UsageError(std::string message) {
  return {kExitUsage, std::move(message)};
}
inline CliError InputError(std::string message) {
  return {kExitBadInput, std::move(message)};
}
inline CliError WriteError(std::string message) {
  return {kExitWriteFailed, std::move(message)};
}

}  // namespace tessarin::cli
