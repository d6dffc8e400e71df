#pragma once

namespace tessarin {

// Where the window's choices are remembered between runs: QSettings under these names.
inline constexpr const char* kSettingsOrganisation = "Tessarin";
inline constexpr const char* kSettingsApplication = "tessarin";

// Whether the side panel shows beside the classic area; it does until someone hides it.
bool SidePanelRemembered();
void RememberSidePanel(bool shown);

}  // namespace tessarin
