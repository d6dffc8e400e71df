#include "set_additions.h"

#include "folder_layout.h"

namespace tessarin::cli {
namespace {

// The model names the file alone; the user needs to know which set's. Failures to open it
// name the whole path already.
CliError Refusal(const SetState& state, const std::string& fileName, const std::string& message) {
  if (message.compare(0, fileName.size(), fileName) != 0) return InputError(message);
  std::string folder = PathForDisplay(state.setFolder);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return InputError(folder + message);
}

}  // namespace

std::variant<SetAdditions, CliError> ReadSetAdditions(const SetState& state) {
  SetAdditions additions;
  if (Status read = ReadSetExtras(state.setFolder, state.xSize, state.ySize, additions.extras);
      !read) {
    return Refusal(state, kSetExtrasFileName, read.Message());
  }
  if (Status read = additions.credits.Read(state.setFolder); !read) {
    return Refusal(state, kCreditsFileName, read.Message());
  }
  return additions;
}

}  // namespace tessarin::cli
