#pragma once

#include <QString>
#include <filesystem>
#include <optional>

namespace tessarin {

// Where the window's choices are remembered between runs: QSettings under these names.
inline constexpr const char* kSettingsOrganisation = "Tessarin";
inline constexpr const char* kSettingsApplication = "tessarin";

// Whether the side panel shows beside the classic area; it does until someone hides it.
bool SidePanelRemembered();
void RememberSidePanel(bool shown);

// The Graphics folder last chosen in the window; nothing before the first choice.
std::optional<std::filesystem::path> RememberedGraphicsFolder();
void RememberGraphicsFolder(const std::filesystem::path& folder);

// Whether an image is saved with its metadata, as last chosen; not before the first choice.
bool SaveMetadataRemembered();
void RememberSaveMetadata(bool withMetadata);

// The folder an image was last saved in; "" before the first save.
QString RememberedSaveFolder();
void RememberSaveFolder(const QString& folder);

}  // namespace tessarin
