#pragma once

#include <string>

namespace tessarin {

// Files a save writes under a temporary name before renaming them into place. A program ended
// by Ctrl-C or a polite kill must not leave them behind: a large sheet's is tens of megabytes.

// Installs handlers for SIGINT and SIGTERM that remove every listed file and then end the
// program as the signal would have. A signal the program was started ignoring stays ignored.
// Called once, early in main.
void RemovePartialFilesOnTermination();

// Lists the file name in the folder open as folderFd for as long as it lives; the folder stays
// open as long. Unlisted when every place is taken, which costs only the clean-up.
class ListedPartialFile {
 public:
  ListedPartialFile(int folderFd, const std::string& name);
  ~ListedPartialFile();
  ListedPartialFile(const ListedPartialFile&) = delete;
  ListedPartialFile& operator=(const ListedPartialFile&) = delete;

 private:
  int place_ = -1;
};

}  // namespace tessarin
