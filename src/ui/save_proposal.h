#pragma once

#include <QString>
#include <string>

namespace tessarin {

// The file the save dialog first offers: named after the set, in the folder last saved in
// when that still exists, else in the dialog's own starting folder.
QString ProposedSaveFile(const std::string& setName);

// Remembers the folder of a file just saved.
void RememberSavedFile(const QString& file);

}  // namespace tessarin
