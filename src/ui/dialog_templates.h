#pragma once

#include <vector>

namespace tessarin {

// The translation context the texts and titles of the templates are marked with.
inline constexpr const char* kDialogTemplateContext = "DialogTemplates";

enum class ControlKind {
  GroupBox,
  DropDownList,
  PushButton,
  DefaultPushButton,
  Label,
  EtchedFrame,
  ListBox,
  CheckBox,
  Icon,
};

// One control of a dialog: position and size in dialog units, text in UTF-8 and untranslated.
struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;
  int x;
  int y;
  int width;
  int height;
  bool hidden = false;
};

struct DialogTemplate {
  int id;
  const char* title;
  int width;  // dialog units
  int height;
  const char* fontFace;
  int pointSize;
  // In template order, which is also the tab order.
  std::vector<ControlTemplate> controls;
};

const DialogTemplate& MainDialogTemplate();   // template 102
const DialogTemplate& AboutDialogTemplate();  // template 100

}  // namespace tessarin
