#pragma once

// Control identifiers of the main window and the About box. Tests and handlers name controls
// by these, as the dialog templates do.
namespace tessarin::ids {

inline constexpr int kStatic = -1;  // controls nobody addresses
inline constexpr int kOk = 1;       // hidden default button: Enter closes the window
inline constexpr int kQuit = 2;     // "終了"

inline constexpr int kPartList0 = 1002;  // parts 0..5 use 1002..1007
inline constexpr int kSetList = 1008;
inline constexpr int kPartList6 = 1009;
inline constexpr int kPartList7 = 1010;
inline constexpr int kPartLabel0 = 1011;  // parts 0..7 use 1011..1018
inline constexpr int kGenerate = 1019;
inline constexpr int kDoubleBox = 1020;
inline constexpr int kHalfBox = 1021;
inline constexpr int kRandomCompose = 1022;
inline constexpr int kRandomBox0 = 1023;  // parts 0..7 use 1023..1030
inline constexpr int kThreeQuarterBox = 1031;

inline constexpr int kPartCount = 8;

// Part k's list: 1002..1007 for parts 0..5, then 1009 and 1010 around the set list's 1008.
constexpr int PartList(int part) {
  return part < 6 ? kPartList0 + part : kPartList6 + part - 6;
}
constexpr int PartLabel(int part) {
  return kPartLabel0 + part;
}
constexpr int RandomBox(int part) {
  return kRandomBox0 + part;
}

// The window's own commands in its system menu; only their high bits are compared.
inline constexpr unsigned kAboutCommandId = 16;
inline constexpr unsigned kSidePanelCommandId = 32;

}  // namespace tessarin::ids
