#pragma once

#include <QtGlobal>

class QString;

// Texts the window shows besides its dialog templates, in UTF-8: the Japanese source texts of
// the translations, each shown through Translated.
namespace tessarin::strings {

// The text in the program's language.
QString Translated(const char* text);

// String resource 101: the About item appended to the window's menu.
inline constexpr const char* kAboutMenuItem =
    QT_TRANSLATE_NOOP("tessarin::strings", "バージョン情報 Tessarin(&A)...");

inline constexpr const char* kNothing = QT_TRANSLATE_NOOP("tessarin::strings", "[ なし ]");
// The same in every language.
inline constexpr const char* kUndefinedPart = "---";

inline constexpr const char* kWarningCaption = QT_TRANSLATE_NOOP("tessarin::strings", "警告");
// %1: the set folder's name.
inline constexpr const char* kMissingSettingFile = QT_TRANSLATE_NOOP(
    "tessarin::strings",
    "[ %1 ] フォルダ内にSetting.txtがありません。\nまずこのファイルを作成してください。");
// %1: the part's name as the setting file gives it.
inline constexpr const char* kPartLeavesSet = QT_TRANSLATE_NOOP(
    "tessarin::strings",
    "[ %1 ] はセットのフォルダの外を指す名前なので、このパーツの画像は読み込みません。");
// %1: the folder the sets were looked for in.
inline constexpr const char* kNoSets = QT_TRANSLATE_NOOP(
    "tessarin::strings",
    "画像セットが見つかりません。\n次のフォルダに画像セットのフォルダを置いてください:\n%1");

inline constexpr const char* kPngFilter =
    QT_TRANSLATE_NOOP("tessarin::strings", "PNGファイル (*.png)");
inline constexpr const char* kAllFilesFilter =
    QT_TRANSLATE_NOOP("tessarin::strings", "All files(*.*)");
inline constexpr const char* kDefaultSuffix = "png";
inline constexpr const char* kSaveCaption = QT_TRANSLATE_NOOP("tessarin::strings", "画像生成");
// %1: the file, %2: the reason.
inline constexpr const char* kSaveFailed =
    QT_TRANSLATE_NOOP("tessarin::strings", "画像を保存できませんでした。\n%1\n\n%2");

// When there is no picture to save yet.
inline constexpr const char* kNothingToSave = QT_TRANSLATE_NOOP(
    "tessarin::strings",
    "保存する画像がありません。\n画像セットを読み込んでから画像生成してください。");
// The title of the dialog that chooses another Graphics folder.
inline constexpr const char* kChooseGraphicsFolder =
    QT_TRANSLATE_NOOP("tessarin::strings", "画像セットのフォルダを選択");

// %1: why each companion could not be read, one line each.
inline constexpr const char* kUnreadableCompanion =
    QT_TRANSLATE_NOOP("tessarin::strings",
                      "後ろに重ねる画像を読み込めませんでした。この画像なしで表示します。\n\n%1");

// %1: what did not fit, one line each.
inline constexpr const char* kOutOfMemory =
    QT_TRANSLATE_NOOP("tessarin::strings", "メモリが足りません。\n\n%1");

// The set preselected at start: the first whose folder name begins with this. A name on disk,
// so the same in every language.
inline constexpr const char* kDefaultSetPrefix = "デフォルト";

}  // namespace tessarin::strings
