#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "status.h"

namespace tessarin {

// A file opened for reading only when it is a regular file (or a link to one). A FIFO, a
// device or a socket named like an image would block the opening or never end; the check is
// made on the open descriptor, so nothing can be swapped in between.
class RegularFile {
 public:
  RegularFile() = default;
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // On failure the message names the file and says why.
  Status Open(const std::filesystem::path& path);

  // The size when opened: reads never go past it, even if the file grows meanwhile.
  std::uint64_t Size() const { return size_; }

  // Reads up to count bytes, fewer only at the end (the size when opened); got is how many.
  Status Read(void* into, std::size_t count, std::size_t& got);

 private:
  std::filesystem::path path_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
  std::uint64_t offset_ = 0;
};

// The whole of a regular file of at most maxBytes; a larger one is refused before it is read.
// A failure names the file.
Status ReadWholeFile(const std::filesystem::path& path, std::uint64_t maxBytes, std::string& bytes);

}  // namespace tessarin
