#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tessarin::cli::end_to_end {

// Far longer than any run takes; only a child that hangs reaches it.
inline constexpr int kHangMilliseconds = 120 * 1000;

struct ProcessResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Starts the built tessarin-compose (or a copy of it) with args, its output streams going into
// the given files; the child's pid, or 0 when it could not start.
inline pid_t StartCompose(const std::vector<std::string>& args,
                          const std::filesystem::path& outFile,
                          const std::filesystem::path& errFile,
                          const std::string& program = TESSARIN_COMPOSE) {
  std::vector<std::string> argStrings{program};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = 0;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

struct ResourceLimit {
  int resource;  // RLIMIT_...
  rlim_t value;
};

// As StartCompose, with the child's resource limits lowered first. Between fork and exec the
// child only makes system calls, as a child of a threaded program must.
inline pid_t StartComposeLimited(const std::vector<std::string>& args,
                                 const std::filesystem::path& outFile,
                                 const std::filesystem::path& errFile,
                                 const std::vector<ResourceLimit>& limits) {
  std::vector<std::string> argStrings{TESSARIN_COMPOSE};
  argStrings.insert(argStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string out = outFile.string();
  const std::string err = errFile.string();
  const pid_t pid = fork();
  if (pid != 0) return pid < 0 ? 0 : pid;
  for (const ResourceLimit& limit : limits) {
    const rlimit value{limit.value, limit.value};
    if (setrlimit(limit.resource, &value) != 0) _exit(127);
  }
  const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (outFd < 0 || errFd < 0 || dup2(outFd, STDOUT_FILENO) < 0 || dup2(errFd, STDERR_FILENO) < 0) {
    _exit(127);
  }
  execve(argv[0], argv.data(), environ);
  _exit(127);
}

// Runs the built tessarin-compose with args, under limits if any; output goes through files
// so that neither stream can fill up and stall the child.
inline ProcessResult RunCompose(const std::vector<std::string>& args,
                                const std::filesystem::path& scratch,
                                const std::vector<ResourceLimit>& limits = {},
                                const std::string& program = TESSARIN_COMPOSE) {
  const std::filesystem::path outFile = scratch / "stdout.txt";
  const std::filesystem::path errFile = scratch / "stderr.txt";
  ProcessResult result;
  const pid_t pid = limits.empty() ? StartCompose(args, outFile, errFile, program)
                                   : StartComposeLimited(args, outFile, errFile, limits);
  if (pid != 0) {
    // A child that hangs is ended, so that the test fails instead of waiting with it.
    int status = 0;
    pid_t ended = 0;
    for (int waited = 0; ended == 0 && waited < kHangMilliseconds; waited += 10) {
      ended = waitpid(pid, &status, WNOHANG);
      if (ended == 0) usleep(10 * 1000);
    }
    if (ended == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      result.err = "killed: still running after " + std::to_string(kHangMilliseconds) + " ms\n";
    } else if (ended == pid && WIFEXITED(status)) {
      result.exitCode = WEXITSTATUS(status);
    }
  }
  result.out = ReadWholeFile(outFile);
  result.err += ReadWholeFile(errFile);
  return result;
}

}  // namespace tessarin::cli::end_to_end
