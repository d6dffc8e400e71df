#pragma once

#include <string>
#include <string_view>

namespace tessarin {

// A file name as the file system holds it (bytes) in the UTF-8 a person reads and a setting
// file is matched against: UTF-8 as it is; otherwise code page 932, which is what archives
// made on Windows leave behind; otherwise UTF-8 with every byte it cannot hold written as
// "\xE9". Only the last loses anything, and only in what is shown.
std::string ShownFileName(std::string_view bytes);

// A path's bytes with each "/"-separated name shown as ShownFileName shows it.
std::string ShownPath(std::string_view bytes);

// Text for a terminal: control characters (C0, DEL, C1) and bytes that are not UTF-8 written
// as "\x1B", so that a name can neither move the cursor nor change the terminal's state.
std::string TerminalText(std::string_view text);

}  // namespace tessarin
