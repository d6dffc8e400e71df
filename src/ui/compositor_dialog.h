#pragma once

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "crt_random.h"
#include "set_state.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;

namespace tessarin {

class PreviewWidget;

// The program's one window (template 102): the set list, eight part lists with their labels
// and random boxes, the preview and the buttons. It owns the set state for its whole life.
class CompositorDialog : public QDialog {
  Q_OBJECT

 public:
  using MessageSink = std::function<void(const QString& caption, const QString& text)>;
  // The path to save the generated image to, or "" when the person cancels.
  using SaveFileQuestion = std::function<QString()>;

  // What the window tells and asks a person. Left empty, a message box and the save dialog.
  struct Prompts {
    MessageSink showMessage;
    SaveFileQuestion askSaveFile;
  };

  explicit CompositorDialog(std::filesystem::path baseFolder, Prompts prompts = {});
  ~CompositorDialog() override;

  QWidget* Control(int id) const { return controls_.value(id); }
  const SetState& State() const { return state_; }
  const PreviewWidget& Preview() const { return *preview_; }
  void SeedRandom(std::uint32_t seed) { random_.Seed(seed); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  void BindControls();
  void FillSetList();
  void LoadSet();
  void RefreshLayers();
  void GenerateImage();
  void RandomCompose();
  void ShowAbout();
  void ShowMessage(const QString& caption, const QString& text);
  // The reasons for companions that are there and could not be read, each told only once;
  // failures maps the paths that failed to why.
  QStringList UnreadableCompanions(const std::map<std::string, std::string>& failures);

  // The file name selected in part k's list; "" for "[ なし ]" or no selection.
  std::string SelectedFileName(int part) const;

  SetState state_;
  QIcon icon_;
  CrtRandom random_;
  Prompts prompts_;
  // The composite no longer matches the set (another set was loaded), or was made for the
  // other half mode.
  bool compositeStale_ = true;
  bool compositeHalf_ = false;
  // Companions whose failure to load has been told.
  std::set<std::string> toldCompanions_;

  QHash<int, QWidget*> controls_;
  QComboBox* setList_ = nullptr;
  std::array<QListWidget*, kPartCount> partLists_{};
  std::array<QLabel*, kPartCount> partLabels_{};
  std::array<QCheckBox*, kPartCount> randomBoxes_{};
  QCheckBox* doubleBox_ = nullptr;
  QCheckBox* halfBox_ = nullptr;
  QCheckBox* threeQuarterBox_ = nullptr;
  PreviewWidget* preview_ = nullptr;
};

}  // namespace tessarin
