#pragma once

// This test program brings its own openat, which the codec's static library binds to in place
// of the system's: a test can make the file system refuse files made without a name, as many
// do, so that saves take their other way.

namespace tessarin::testing {

// While it lives, openat with O_TMPFILE fails with EOPNOTSUPP.
class UnnamedFilesRefused {
 public:
  UnnamedFilesRefused();
  ~UnnamedFilesRefused();
  UnnamedFilesRefused(const UnnamedFilesRefused&) = delete;
  UnnamedFilesRefused& operator=(const UnnamedFilesRefused&) = delete;

  // How many such opens were refused so far.
  static int Refusals();
};

}  // namespace tessarin::testing
