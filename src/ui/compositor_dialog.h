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

#include "character_recipe.h"
#include "crt_random.h"
#include "kept_recolouring.h"
#include "set_additions.h"
#include "set_state.h"
#include "undecoded_images.h"
#include "window_choices.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;

namespace tessarin {

class ChoiceHistory;
class PreviewWidget;
class SidePanel;

// The program's one window: its classic area (template 102) with the set list, eight part
// lists with their labels and random boxes, the preview and the buttons; and beside it, when
// shown, the side panel, which the window can be widened for. It owns the set state for its
// whole life.
class CompositorDialog : public QDialog {
  Q_OBJECT

 public:
  using MessageSink = std::function<void(const QString& caption, const QString& text)>;
  // The path to save a file to, or "" when the person cancels; proposed is offered first.
  using SaveFileQuestion = std::function<QString(const QString& proposed)>;
  // As SaveFileQuestion, for the generated image; withMetadata comes in as last chosen and
  // goes out as the person chooses: whether the sheet's metadata files are written beside it.
  using ImageSaveQuestion = std::function<QString(const QString& proposed, bool& withMetadata)>;
  // Another Graphics folder, starting at current; "" when the person cancels.
  using FolderQuestion = std::function<QString(const QString& current)>;
  // A file to open, starting in folder; "" when the person cancels.
  using OpenFileQuestion = std::function<QString(const QString& folder)>;

  // What the window tells and asks a person. Left empty, a message box, the save dialog and the
  // folder dialog.
  struct Prompts {
    MessageSink showMessage;
    ImageSaveQuestion askSaveFile;
    FolderQuestion askGraphicsFolder;
    SaveFileQuestion askRecipeFile;
    OpenFileQuestion askRecipeToOpen;
  };

  explicit CompositorDialog(std::filesystem::path baseFolder, Prompts prompts = {});
  ~CompositorDialog() override;

  QWidget* Control(int id) const { return controls_.value(id); }
  const SetState& State() const { return state_; }
  const PreviewWidget& Preview() const { return *preview_; }
  const SidePanel& Panel() const { return *panel_; }
  // The template's area at the top-left, which keeps its size whatever the panel does.
  QRect ClassicArea() const { return QRect(QPoint(0, 0), classicSize_); }
  bool SidePanelShown() const { return panelShown_; }
  // As the menu item and F9 do: the choice is remembered for the next window.
  void SetSidePanelShown(bool shown);
  void SeedRandom(std::uint32_t seed) { random_.Seed(seed); }
  // Every change of the choices, for undo and redo.
  const ChoiceHistory& History() const { return *history_; }
  // The controls that hold the choices.
  ChoiceControls Choices() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  void BindControls();
  // Undo and redo of the choices, the shortcuts and the part lists' thumbnails.
  void BindHistoryAndShortcuts();
  void FillSetList();
  void LoadSet();
  void RefreshLayers();
  void GenerateImage();
  // The sheet's JSON and credits beside the image saved as fileName; the person is told when
  // one cannot be written.
  void SaveMetadata(const QString& fileName, const RasterImage& composite);
  // The character shown, by name, as tessarin-compose --recipe reads it.
  CharacterRecipe CurrentRecipe() const;
  // Shows the character a recipe file names, as one step of undo; an error in it changes
  // nothing.
  void OpenRecipe();
  void SaveRecipe();
  void CopyCommand();
  void RandomCompose();
  void ShowAbout();
  // Lists the sets of another Graphics folder, as at start, and remembers it.
  void ChooseGraphicsFolder();
  void ShowChoices(const WindowChoices& choices);
  void ApplySidePanel(bool shown);
  // The panel takes what the window has beside the classic area, top to bottom.
  void PlaceSidePanel();
  // The set's set.json and CREDITS.csv, with its colour choices.
  void ReadAdditions();
  // A choice of colours or of the blend rule: the composite is made again.
  void Recolour();
  // What of the set could not be read, under the panel.
  void ShowStatus();
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
  // The set's extras and credits, the defaults when they could not be read, and why not.
  SetAdditions additions_;
  QString additionsProblem_;
  // Kept while the colours stay, as the command line's batch keeps one.
  KeptRecolouring recolouring_;
  QString recolouringProblem_;
  UndecodedImages undecoded_;

  QHash<int, QWidget*> controls_;
  QComboBox* setList_ = nullptr;
  std::array<QListWidget*, kPartCount> partLists_{};
  std::array<QLabel*, kPartCount> partLabels_{};
  std::array<QCheckBox*, kPartCount> randomBoxes_{};
  QCheckBox* doubleBox_ = nullptr;
  QCheckBox* halfBox_ = nullptr;
  QCheckBox* threeQuarterBox_ = nullptr;
  PreviewWidget* preview_ = nullptr;
  ChoiceHistory* history_ = nullptr;

  QSize classicSize_;
  SidePanel* panel_ = nullptr;
  QAction* panelAction_ = nullptr;
  bool panelShown_ = false;
  // The window's size the last time the panel showed, for when it shows again.
  QSize shownSize_;
};

}  // namespace tessarin
