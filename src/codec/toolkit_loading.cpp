#include <QLibrary>
#include <QString>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "program_file.h"
#include "shown_name.h"
#include "toolkit_codec.h"

namespace tessarin {
namespace {

struct Loaded {
  // Never unloaded: its code stays in use until the program ends.
  QLibrary* library = nullptr;
  const ToolkitCodec* codec = nullptr;
  std::string why;
};

QString FromPath(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.wstring());
#else
  return QString::fromLocal8Bit(path.native().c_str());
#endif
}

std::string PathForMessages(const std::filesystem::path& path) {
#ifdef _WIN32
  return FromPath(path).toStdString();
#else
  return ShownPath(path.native());
#endif
}

Loaded Load() {
  const std::filesystem::path program = ProgramFile();
  const std::filesystem::path folder =
      program.empty() ? std::filesystem::path() : program.parent_path();
  // Beside the program in the build tree and on Windows, in a folder of the library folder once
  // installed elsewhere.
  const std::vector<std::filesystem::path> folders = {
      folder, (folder / TESSARIN_TOOLKIT_MODULE_FROM_PROGRAM).lexically_normal()};
  Loaded loaded;
  for (const std::filesystem::path& place : folders) {
    const std::filesystem::path file = place / TESSARIN_TOOLKIT_MODULE;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) continue;
    auto* library = new QLibrary(FromPath(file));
    const auto entry =
        library->load() ? reinterpret_cast<ToolkitCodecEntry>(library->resolve(kToolkitCodecEntry))
                        : nullptr;
    if (const ToolkitCodec* codec = entry != nullptr ? entry() : nullptr; codec != nullptr) {
      loaded.library = library;
      loaded.codec = codec;
      loaded.why.clear();
      return loaded;
    }
    if (loaded.why.empty()) loaded.why = library->errorString().toStdString();
    library->unload();
    delete library;
  }
  if (loaded.why.empty()) {
    loaded.why = std::string(TESSARIN_TOOLKIT_MODULE) + " is in neither " +
                 PathForMessages(folders.front()) + " nor " + PathForMessages(folders.back());
  }
  return loaded;
}

}  // namespace

const ToolkitCodec* LoadedToolkitCodec(std::string& why) {
  static const Loaded loaded = Load();
  if (loaded.codec == nullptr) {
    why = "the image codecs for formats other than RGBA PNG could not be loaded: " + loaded.why;
  }
  return loaded.codec;
}

}  // namespace tessarin
