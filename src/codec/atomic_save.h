#pragma once

#include <QString>

#include <functional>

#include "status.h"

class QFile;

namespace tessarin {

// Writes a file so that readers see the old one or the whole new one, never a part: write
// fills a fresh file beside the target, which is renamed over the target once written and
// on disk. A link is followed, and the file it leads to replaced. write returns false on
// failure, with error set when it knows why. The error returned is the reason alone.
Status SaveAtomically(const QString& targetName,
                      const std::function<bool(QFile& file, QString& error)>& write);

}  // namespace tessarin
