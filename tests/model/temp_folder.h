#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "folder_layout.h"

namespace tessarin::testing {

// A folder of its own for one test, removed with everything in it afterwards.
class TempFolder {
 public:
  TempFolder() {
    std::random_device seed;
    root_ = std::filesystem::temp_directory_path() /
            ("tessarin-test-" + std::to_string(seed()) + std::to_string(seed()));
    std::filesystem::create_directories(root_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path Path(std::string_view relativeUtf8) const {
    return root_ / PathFromUtf8(relativeUtf8);
  }

  std::filesystem::path MakeFolder(std::string_view relativeUtf8) const {
    const std::filesystem::path path = Path(relativeUtf8);
    std::filesystem::create_directories(path);
    return path;
  }

  std::filesystem::path WriteFile(std::string_view relativeUtf8,
                                  std::string_view bytes = "") const {
    const std::filesystem::path path = Path(relativeUtf8);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

 private:
  std::filesystem::path root_;
};

}  // namespace tessarin::testing
