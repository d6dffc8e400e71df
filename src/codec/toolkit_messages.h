#pragma once

namespace tessarin {

// Keeps what the toolkit's image codecs print about a file (libpng's warnings among them) off
// standard error: our own message about the file says what matters, once. Other messages go on
// to whatever handler was installed before. Process-wide; calls after the first cost nothing.
void QuietToolkitImageMessages();

}  // namespace tessarin
