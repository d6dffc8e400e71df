#include "dialog_templates.h"

#include <QtGlobal>

#include "control_ids.h"

namespace tessarin {

using K = ControlKind;

const DialogTemplate& MainDialogTemplate() {
  static const DialogTemplate kTemplate{
      102,
      "Tessarin",
      359,
      295,
      "MS UI Gothic",
      9,
      {
          {ids::kStatic, K::GroupBox, QT_TRANSLATE_NOOP("DialogTemplates", "画像セット"), 0, 6, 358,
           264},
          {ids::kSetList, K::DropDownList, "", 43, 3, 68, 162},
          {ids::kOk, K::DefaultPushButton, QT_TRANSLATE_NOOP("DialogTemplates", "OK"), 1, 267, 30,
           10, true},
          {ids::kQuit, K::PushButton, QT_TRANSLATE_NOOP("DialogTemplates", "終了"), 299, 275, 50,
           14},
          {1011, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "頭"), 6, 22, 44, 8},
          {1012, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "頭追加"), 86, 22, 45, 8},
          {1013, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "上半身"), 5, 104, 47, 8},
          {1015, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "装飾1"), 6, 193, 46, 8},
          {1016, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "装飾2"), 85, 193, 50, 8},
          {1014, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "下半身"), 84, 104, 45, 8},
          {ids::kStatic, K::EtchedFrame, "", 169, 22, 181, 151},
          {1002, K::ListBox, "", 4, 31, 76, 61},
          {1003, K::ListBox, "", 84, 31, 79, 61},
          {1004, K::ListBox, "", 4, 114, 77, 61},
          {1005, K::ListBox, "", 84, 114, 78, 61},
          {1006, K::ListBox, "", 3, 203, 78, 61},
          {1007, K::ListBox, "", 85, 203, 77, 61},
          {1017, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "装飾2"), 167, 193, 51, 8},
          {1009, K::ListBox, "", 166, 203, 77, 61},
          {1018, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "装飾2"), 251, 193, 53, 8},
          {1010, K::ListBox, "", 250, 203, 81, 61},
          {ids::kGenerate, K::PushButton, QT_TRANSLATE_NOOP("DialogTemplates", "画像生成"), 234,
           275, 50, 14},
          {ids::kDoubleBox, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "2倍表示"), 281, 175,
           40, 10},
          {ids::kHalfBox, K::CheckBox,
           QT_TRANSLATE_NOOP("DialogTemplates", "左半分だけ出力(8方向→4方向化）"), 166, 175, 115,
           10},
          {ids::kRandomCompose, K::PushButton, QT_TRANSLATE_NOOP("DialogTemplates", "ランダム合成"),
           166, 276, 50, 14},
          {1023, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "ﾗﾝﾀﾞﾑ"), 53, 21, 28, 10},
          {1024, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "ﾗﾝﾀﾞﾑ"), 135, 20, 28, 10},
          {1025, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "ﾗﾝﾀﾞﾑ"), 54, 103, 28, 10},
          {1026, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "ﾗﾝﾀﾞﾑ"), 134, 103, 28, 10},
          {1027, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "ﾗﾝﾀﾞﾑ"), 54, 192, 28, 10},
          {1028, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "ﾗﾝﾀﾞﾑ"), 136, 192, 28, 10},
          {1029, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "ﾗﾝﾀﾞﾑ"), 218, 193, 29, 10},
          {1030, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "ﾗﾝﾀﾞﾑ"), 305, 193, 29, 10},
          // Wide enough for the note's first line in the IPA and Noto faces as well.
          {ids::kStatic, K::Label,
           QT_TRANSLATE_NOOP(
               "DialogTemplates",
               "※「ランダム」のチェックが入っている欄のみ、\r\n　 「ランダム合成」で変化します。"),
           7, 273, 150, 19},
          {ids::kThreeQuarterBox, K::CheckBox, QT_TRANSLATE_NOOP("DialogTemplates", "2/3表示"), 318,
           175, 36, 10},
      },
  };
  return kTemplate;
}

const DialogTemplate& AboutDialogTemplate() {
  static const DialogTemplate kTemplate{
      100,
      QT_TRANSLATE_NOOP("DialogTemplates", "バージョン情報 Tessarin"),
      235,
      55,
      "MS UI Gothic",
      9,
      {
          {ids::kStatic, K::Icon, "", 11, 17, 20, 20},
          {ids::kStatic, K::Label, QT_TRANSLATE_NOOP("DialogTemplates", "Tessarin Version 1.1"), 40,
           10, 119, 8},
          {ids::kOk, K::DefaultPushButton, QT_TRANSLATE_NOOP("DialogTemplates", "OK"), 178, 7, 50,
           16},
      },
  };
  return kTemplate;
}

}  // namespace tessarin
