#pragma once

#include <QString>

#include <filesystem>
#include <functional>
#include <string_view>

#include "durability.h"
#include "status.h"

class QIODevice;

namespace tessarin {

// Writes a file so that readers see the old one or the whole new one, never a part: write
// fills a fresh file beside the target, which is renamed over the target once written and on
// disk, and its folder synced after the rename. The fresh file is always newly made, under a
// name nobody could have foreseen, so nothing planted beside the target can redirect a save.
// A link to a file is followed, and the file it leads to replaced, keeping its owner and mode
// where allowed; anything else that is not a plain file (a folder, a device, a pipe) is
// refused untouched. write returns false on failure, with error set when it knows why. The
// error returned is the reason alone. A failed sync fails the save: before the rename the
// target is left as it was; after it the new file is in place, but may not survive a crash.
Status SaveAtomically(const std::filesystem::path& targetName,
                      const std::function<bool(QIODevice& device, QString& error)>& write,
                      Durability durability = Durability::EachFile);

// Saves bytes as the whole new file, in the same way.
Status SaveBytesAtomically(const std::filesystem::path& targetName, std::string_view bytes,
                           Durability durability = Durability::EachFile);

// Brings everything written to the file system that holds the folder to the disk: the end of
// a batch saved with Durability::NewFilesAtEnd.
Status SyncFileSystemOf(const std::filesystem::path& folder);

}  // namespace tessarin
