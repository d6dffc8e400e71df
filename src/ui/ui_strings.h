#pragma once

// Texts the window shows besides its dialog templates, in UTF-8.
namespace tessarin::strings {

// String resource 101: the About item appended to the window's menu.
inline constexpr const char* kAboutMenuItem = "バージョン情報 Tessarin(&A)...";

inline constexpr const char* kNothing = "[ なし ]";
inline constexpr const char* kUndefinedPart = "---";

inline constexpr const char* kWarningCaption = "警告";
// %1: the set folder's name.
inline constexpr const char* kMissingSettingFile =
    "[ %1 ] フォルダ内にSetting.txtがありません。\nまずこのファイルを作成してください。";
// %1: the part's name as the setting file gives it.
inline constexpr const char* kPartLeavesSet =
    "[ %1 ] はセットのフォルダの外を指す名前なので、このパーツの画像は読み込みません。";
// %1: the folder the sets were looked for in.
inline constexpr const char* kNoSets =
    "画像セットが見つかりません。\n次のフォルダに画像セットのフォルダを置いてください:\n%1";

inline constexpr const char* kPngFilter = "PNGファイル (*.png)";
inline constexpr const char* kAllFilesFilter = "All files(*.*)";
inline constexpr const char* kDefaultSuffix = "png";
inline constexpr const char* kSaveCaption = "画像生成";
// %1: the file, %2: the reason.
inline constexpr const char* kSaveFailed = "画像を保存できませんでした。\n%1\n\n%2";

// %1: why each companion could not be read, one line each.
inline constexpr const char* kUnreadableCompanion =
    "後ろに重ねる画像を読み込めませんでした。この画像なしで表示します。\n\n%1";

// %1: what did not fit, one line each.
inline constexpr const char* kOutOfMemory = "メモリが足りません。\n\n%1";

// The set preselected at start: the first whose folder name begins with this.
inline constexpr const char* kDefaultSetPrefix = "デフォルト";

}  // namespace tessarin::strings
