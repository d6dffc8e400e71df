#include "set_additions.h"

#include <string>

#include "folder_layout.h"

namespace tessarin {
namespace {

// The files' own messages name the file alone; the user needs to know which set's. Failures
// to open it name the whole path already.
std::string InSetFolder(const SetState& state, const std::string& fileName,
                        const std::string& message) {
  if (message.compare(0, fileName.size(), fileName) != 0) return message;
  std::string folder = PathForDisplay(state.setFolder);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + message;
}

// A set whose files fail is used as if it had none.
Status Refusal(const SetState& state, const std::string& fileName, const Status& failure,
               SetAdditions& additions) {
  additions = DefaultSetAdditions(state);
  const std::string message = InSetFolder(state, fileName, failure.Message());
  return failure.IsOutOfMemory() ? Status::OutOfMemory(message) : Status::Error(message);
}

}  // namespace

SetAdditions DefaultSetAdditions(const SetState& state) {
  SetAdditions additions;
  ParseSetExtras({}, state.xSize, state.ySize, additions.extras);
  return additions;
}

Status ReadSetAdditions(const SetState& state, SetAdditions& additions) {
  additions = SetAdditions{};
  if (Status read = ReadSetExtras(state.setFolder, state.xSize, state.ySize, additions.extras);
      !read) {
    return Refusal(state, kSetExtrasFileName, read, additions);
  }
  if (Status read = additions.credits.Read(state.setFolder); !read) {
    return Refusal(state, kCreditsFileName, read, additions);
  }
  return Status::Ok();
}

}  // namespace tessarin
