#pragma once

#include <QString>

#include <filesystem>
#include <functional>

#include "status.h"

class QFile;

namespace tessarin {

// Writes a file so that readers see the old one or the whole new one, never a part: write
// fills a fresh file beside the target, which is renamed over the target once written and
// on disk, and its folder synced after the rename. A link is followed, and the file it leads
// to replaced. write returns false on failure, with error set when it knows why. The error
// returned is the reason alone. A failed sync fails the save: before the rename the target is
// left as it was; after it the new file is in place, but may not survive a crash.
Status SaveAtomically(const std::filesystem::path& targetName,
                      const std::function<bool(QFile& file, QString& error)>& write);

}  // namespace tessarin
