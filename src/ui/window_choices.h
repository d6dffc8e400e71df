#pragma once

#include <array>
#include <functional>
#include <string>

#include <vector>

#include "blend_rule.h"
#include "set_state.h"

class QCheckBox;
class QComboBox;
class QListWidget;

namespace tessarin {

class ColourSection;
class CreditsSection;

// Everything a person has chosen in the window, as one value: what undo goes back to. A new
// kind of choice is a new field here, captured and applied beside the others.
struct WindowChoices {
  // The set list's entry, as its folder name; "" when there is no set.
  std::string setName;
  // The file picked in each part's list; "" for "[ なし ]".
  std::array<std::string, kPartCount> files;
  std::array<bool, kPartCount> random{};
  bool doubled = false;
  bool half = false;
  bool threeQuarter = false;
  // Per material of the set: 0 for its source colours, k for variant k - 1; and its random box.
  std::vector<int> colours;
  std::vector<bool> colourRandom;
  BlendRule blend = BlendRule::Classic;
  // The licences random composition keeps to; none for any.
  std::vector<std::string> licences;

  bool operator==(const WindowChoices& other) const;
  bool operator!=(const WindowChoices& other) const { return !(*this == other); }
};

// The controls the choices are read from and shown in.
struct ChoiceControls {
  QComboBox* setList = nullptr;
  std::array<QListWidget*, kPartCount> partLists{};
  std::array<QCheckBox*, kPartCount> randomBoxes{};
  QCheckBox* doubleBox = nullptr;
  QCheckBox* halfBox = nullptr;
  QCheckBox* threeQuarterBox = nullptr;
  ColourSection* colours = nullptr;
  CreditsSection* credits = nullptr;
};

WindowChoices CaptureChoices(const ChoiceControls& controls);

// Shows choices in the controls without a signal from any of them. When the set differs,
// loadSet runs once the set list shows it, so that the part lists hold that set's files before
// they are picked from. A file no longer listed leaves its part at "[ なし ]".
void ApplyChoices(const WindowChoices& choices, const ChoiceControls& controls,
                  const std::function<void()>& loadSet);

}  // namespace tessarin
