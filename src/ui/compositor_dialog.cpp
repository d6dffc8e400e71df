#include "compositor_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <utility>
#include <variant>
#include <vector>

#include "about_dialog.h"
#include "app_icon.h"
#include "atomic_save.h"
#include "character_credits.h"
#include "choice_history.h"
#include "colour_section.h"
#include "compose_command_line.h"
#include "composition.h"
#include "control_ids.h"
#include "credits_section.h"
#include "dialog_builder.h"
#include "dialog_templates.h"
#include "folder_layout.h"
#include "image_file.h"
#include "layer_loading.h"
#include "part_thumbnails.h"
#include "preview_geometry.h"
#include "preview_widget.h"
#include "prompts.h"
#include "random_compose.h"
#include "recipe_choices.h"
#include "recipe_section.h"
#include "save_proposal.h"
#include "set_extras.h"
#include "set_preselection.h"
#include "setting_file.h"
#include "sheet_metadata.h"
#include "side_panel.h"
#include "ui_strings.h"
#include "window_settings.h"
#include "windows_system_menu.h"

namespace tessarin {
namespace {

// Sets smaller than this both ways are shown twice as large when loaded.
constexpr std::int32_t kDoubleScaleBelow = 128;

constexpr Qt::WindowFlags kWindowFlags = Qt::Dialog | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                         Qt::MSWindowsFixedSizeDialogHint;

// The side panel's width when the window first widens for it, and the least it keeps.
constexpr int kDefaultPanelWidth = 560;
constexpr int kMinPanelWidth = 360;

template <typename Widget>
Widget* ControlOf(const QHash<int, QWidget*>& controls, int id) {
  auto* widget = qobject_cast<Widget*>(controls.value(id));
  Q_ASSERT(widget != nullptr);
  return widget;
}

int SelectedRow(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}

QString NativePath(const std::filesystem::path& path) {
  return QDir::toNativeSeparators(QString::fromStdString(PathForDisplay(path)));
}

// The inside of the etched frame around the preview's centre; the template gives the frame
// no id.
QRect PreviewFrameInside(const QWidget& window) {
  const QPoint centre(kPreviewCentreX, kPreviewCentreY);
  for (const QFrame* frame : window.findChildren<const QFrame*>(Qt::FindDirectChildrenOnly)) {
    if (frame->metaObject() == &QFrame::staticMetaObject && frame->geometry().contains(centre)) {
      return frame->contentsRect().translated(frame->pos());
    }
  }
  return {};
}

}  // namespace

CompositorDialog::CompositorDialog(std::filesystem::path baseFolder, Prompts prompts)
    : QDialog(nullptr, kWindowFlags),
      icon_(AppIcon()),
      random_(static_cast<std::uint32_t>(std::time(nullptr))),
      prompts_(std::move(prompts)) {
  state_.baseFolder = std::move(baseFolder);
  controls_ = BuildDialog(*this, MainDialogTemplate(), icon_);
  classicSize_ = size();
  preview_ = new PreviewWidget(this);
  preview_->SetFrame(PreviewFrameInside(*this));
  // Under every control, as the window's own background.
  preview_->lower();
  // Made after the classic controls, so that it follows them in tab order.
  panel_ = new SidePanel(this);
  panelAction_ = new QAction(tr("サイドパネル(&P)"), this);
  panelAction_->setCheckable(true);
  panelAction_->setShortcut(QKeySequence(Qt::Key_F9));
  addAction(panelAction_);
  BindControls();

  const bool panelShown = SidePanelRemembered();
  // A window that can widen for the panel needs a border it can be resized by on Windows;
  // the flags are settled before the native window exists.
  if (panelShown) setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
  shownSize_ = QSize(classicSize_.width() + kDefaultPanelWidth, classicSize_.height());
  panelAction_->setChecked(panelShown);
  ApplySidePanel(panelShown);
  AppendToSystemMenu(*this, panelAction_->text() + QStringLiteral("\tF9"), panelShown);
  connect(panelAction_, &QAction::toggled, this, [this](bool shown) {
    ApplySidePanel(shown);
    RememberSidePanel(shown);
  });
  connect(&panel_->Colours(), &ColourSection::ColoursChosen, this, &CompositorDialog::Recolour);
  connect(&panel_->Colours(), &ColourSection::RuleChosen, this, &CompositorDialog::Recolour);
  connect(&panel_->Recipe(), &RecipeSection::OpenRequested, this, &CompositorDialog::OpenRecipe);
  connect(&panel_->Recipe(), &RecipeSection::SaveRequested, this, &CompositorDialog::SaveRecipe);
  connect(&panel_->Recipe(), &RecipeSection::CopyRequested, this, &CompositorDialog::CopyCommand);

  FillSetList();
  LoadSet();  // not ready yet: loads no layer
  state_.ready = true;
  RefreshLayers();
  BindHistoryAndShortcuts();
}

CompositorDialog::~CompositorDialog() = default;

void CompositorDialog::BindControls() {
  setList_ = ControlOf<QComboBox>(controls_, ids::kSetList);
  for (int part = 0; part < kPartCount; ++part) {
    const auto k = static_cast<std::size_t>(part);
    partLists_[k] = ControlOf<QListWidget>(controls_, ids::PartList(part));
    partLabels_[k] = ControlOf<QLabel>(controls_, ids::PartLabel(part));
    randomBoxes_[k] = ControlOf<QCheckBox>(controls_, ids::RandomBox(part));
    connect(partLists_[k], &QListWidget::itemSelectionChanged, this,
            &CompositorDialog::RefreshLayers);
  }
  doubleBox_ = ControlOf<QCheckBox>(controls_, ids::kDoubleBox);
  halfBox_ = ControlOf<QCheckBox>(controls_, ids::kHalfBox);
  threeQuarterBox_ = ControlOf<QCheckBox>(controls_, ids::kThreeQuarterBox);

  // Every choice of a set reloads it, the one already shown included: edits on disk then
  // take effect. Choices made by code load nothing.
  connect(setList_, &QComboBox::activated, this, &CompositorDialog::LoadSet);
  connect(ControlOf<QPushButton>(controls_, ids::kOk), &QPushButton::clicked, this,
          &QDialog::accept);
  connect(ControlOf<QPushButton>(controls_, ids::kQuit), &QPushButton::clicked, this,
          &QDialog::reject);
  connect(ControlOf<QPushButton>(controls_, ids::kGenerate), &QPushButton::clicked, this,
          &CompositorDialog::GenerateImage);
  connect(ControlOf<QPushButton>(controls_, ids::kRandomCompose), &QPushButton::clicked, this,
          &CompositorDialog::RandomCompose);
  connect(halfBox_, &QCheckBox::clicked, this, &CompositorDialog::RefreshLayers);
  connect(doubleBox_, &QCheckBox::clicked, this, [this] {
    threeQuarterBox_->setChecked(false);
    RefreshLayers();
  });
  connect(threeQuarterBox_, &QCheckBox::clicked, this, [this] {
    doubleBox_->setChecked(false);
    RefreshLayers();
  });
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
          &CompositorDialog::ShowAbout);
}

void CompositorDialog::BindHistoryAndShortcuts() {
  // Made after the controls are bound, so that it records each change once the window has
  // taken it in.
  history_ = new ChoiceHistory(
      Choices(), [this](const WindowChoices& choices) { ShowChoices(choices); }, this);
  addAction(history_->UndoAction());
  addAction(history_->RedoAction());
  auto* generate = ControlOf<QPushButton>(controls_, ids::kGenerate);
  auto* random = ControlOf<QPushButton>(controls_, ids::kRandomCompose);
  // A whole random composition is one step.
  connect(random, &QPushButton::clicked, history_, &ChoiceHistory::Record);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this), &QShortcut::activated, generate,
          &QPushButton::click);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this), &QShortcut::activated, random,
          &QPushButton::click);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), this), &QShortcut::activated, this,
          &CompositorDialog::ChooseGraphicsFolder);
  for (int part = 0; part < kPartCount; ++part) {
    new PartThumbnails(partLists_[static_cast<std::size_t>(part)],
                       [this, part](const QString& fileName) {
                         return MainImagePath(state_, part, fileName.toStdString());
                       });
  }
}

ChoiceControls CompositorDialog::Choices() const {
  return {setList_, partLists_,       randomBoxes_,       doubleBox_,
          halfBox_, threeQuarterBox_, &panel_->Colours(), &panel_->Credits()};
}

void CompositorDialog::ShowChoices(const WindowChoices& choices) {
  ApplyChoices(choices, Choices(), [this] { LoadSet(); });
  // Colours and the rule may have changed with the picks.
  Recolour();
}

void CompositorDialog::ChooseGraphicsFolder() {
  const QString current = QString::fromStdString(PathToUtf8(state_.baseFolder));
  const QString chosen = prompts_.askGraphicsFolder ? prompts_.askGraphicsFolder(current)
                                                    : AskGraphicsFolder(this, current);
  if (chosen.isEmpty()) return;
  state_.baseFolder = PathFromUtf8(chosen.toStdString());
  RememberGraphicsFolder(state_.baseFolder);
  FillSetList();
  LoadSet();
  // The steps so far name sets of the other folder.
  history_->Restart();
}

void CompositorDialog::FillSetList() {
  const QSignalBlocker blocker(setList_);
  setList_->clear();
  const std::vector<std::string> names = ListSets(state_.baseFolder);
  for (const std::string& name : names) {
    const QString folder = QString::fromStdString(name);
    setList_->addItem(QStringLiteral("[%1]").arg(folder), folder);
  }
  if (names.empty()) {
    ShowMessage(windowTitle(),
                strings::Translated(strings::kNoSets).arg(NativePath(state_.baseFolder)));
    return;
  }
  setList_->setCurrentIndex(PreselectedSet(names));
}

void CompositorDialog::LoadSet() {
  const int index = setList_->currentIndex();
  if (index >= 0) {
    const QString name = setList_->itemData(index).toString();
    SelectSet(state_, name.toStdString());
    if (ReadSettingFile(state_) == SettingFileStatus::Missing) {
      ShowMessage(strings::Translated(strings::kWarningCaption),
                  strings::Translated(strings::kMissingSettingFile).arg(name));
    }
  } else {
    // No set at all: the window shows a set without parts.
    state_.setName.clear();
    state_.setFolder = state_.baseFolder;
    ParseSettingFile({}, state_);
  }

  const QString nothing = strings::Translated(strings::kNothing);
  for (int part = 0; part < kPartCount; ++part) {
    const auto k = static_cast<std::size_t>(part);
    QListWidget* list = partLists_[k];
    const std::string& name = state_.partNames[k];
    const QSignalBlocker blocker(list);
    list->clear();
    list->addItem(nothing);
    list->setEnabled(!name.empty());
    if (name.empty()) {
      partLabels_[k]->setText(QString::fromUtf8(strings::kUndefinedPart));
      continue;
    }
    partLabels_[k]->setText(QString::fromStdString(name));
    const std::optional<std::filesystem::path> folder = PartFolder(state_, part);
    if (!folder) {
      ShowMessage(strings::Translated(strings::kWarningCaption),
                  strings::Translated(strings::kPartLeavesSet).arg(QString::fromStdString(name)));
    }
    QStringList files;
    for (const std::string& file : folder ? ListPartImages(*folder) : std::vector<std::string>()) {
      files.append(QString::fromStdString(file));
    }
    list->addItems(files);
    list->setCurrentRow(0);
  }
  doubleBox_->setChecked(state_.xSize < kDoubleScaleBelow && state_.ySize < kDoubleScaleBelow);
  ReadAdditions();

  // Another drawing order and size: the composite must be made again even if no slot changes.
  compositeStale_ = true;
  // Choosing a set again reloads it from disk, and tells again what still fails.
  toldCompanions_.clear();
  undecoded_.Clear();
  RefreshLayers();
}

void CompositorDialog::ReadAdditions() {
  additionsProblem_.clear();
  if (state_.setName.empty()) {
    // No set at all: nothing to read, and nothing wrong.
    additions_ = DefaultSetAdditions(state_);
  } else if (const Status read = ReadSetAdditions(state_, additions_); !read) {
    additionsProblem_ = QString::fromStdString(read.Message());
  }
  panel_->Colours().SetMaterials(additions_.extras.materials);
  panel_->Credits().SetLicences(NamedLicences(additions_.credits));
  recolouring_.Forget();
  recolouringProblem_.clear();
}

void CompositorDialog::Recolour() {
  compositeStale_ = true;
  RefreshLayers();
}

std::string CompositorDialog::SelectedFileName(int part) const {
  const QListWidget& list = *partLists_[static_cast<std::size_t>(part)];
  const int row = SelectedRow(list);
  return row <= 0 ? std::string() : list.item(row)->text().toStdString();
}

void CompositorDialog::RefreshLayers() {
  if (!state_.ready) return;
  PartSelection selection;
  for (int part = 0; part < kPartCount; ++part) {
    selection[static_cast<std::size_t>(part)] = SelectedFileName(part);
  }
  // A main image that cannot be read leaves its slot empty without a word. Running out of
  // memory is no fault of the file, and without a word a person could not tell why a layer is
  // missing; nor could they for a companion that is there and cannot be read.
  QStringList shortOfMemory;
  std::map<std::string, std::string> failures;
  std::mutex failuresMutex;
  const ImageLoader load = [&](const std::filesystem::path& path, KeptCorner keep) {
    auto image = std::make_shared<RasterImage>();
    const Status read = ReadImageFile(path, *image, keep);
    if (read) return std::shared_ptr<const RasterImage>(std::move(image));
    const std::lock_guard<std::mutex> lock(failuresMutex);
    if (read.IsOutOfMemory()) {
      shortOfMemory << QString::fromStdString(read.Message());
    } else {
      failures[PathToUtf8(path)] = read.Message();
    }
    return std::shared_ptr<const RasterImage>();
  };
  bool changed = true;
  try {
    changed = tessarin::RefreshLayers(state_, selection, load);
  } catch (const std::bad_alloc&) {
    shortOfMemory << tr("out of memory");
  }
  undecoded_.Update(state_, failures);
  const bool half = halfBox_->isChecked();
  if (changed || compositeStale_ || half != compositeHalf_) {
    const ColourSection& colours = panel_->Colours();
    const Status chosen = recolouring_.Choose(state_, additions_.extras, colours.Choices());
    recolouringProblem_ = chosen ? QString() : QString::fromStdString(chosen.Message());
    auto composite = std::make_shared<RasterImage>();
    const Status composed =
        ComposeLayers(state_, half, colours.Rule(), *composite, recolouring_.Current());
    if (!composed) shortOfMemory << QString::fromStdString(composed.Message());
    // The preview and the side panel show the very same picture.
    preview_->SetComposite(composite);
    panel_->SetSheet(std::move(composite));
    panel_->ShowExtras(additions_.extras, half);
    panel_->Credits().ShowCredits(UsedImages(state_, additions_.credits, selection),
                                  !additions_.credits.Entries().empty());
    compositeStale_ = false;
    compositeHalf_ = half;
  }
  preview_->Place(state_.xSize, state_.ySize,
                  PreviewScale(doubleBox_->isChecked(), threeQuarterBox_->isChecked()), half);
  ShowStatus();
  const QStringList unreadable = UnreadableCompanions(failures);
  if (!unreadable.isEmpty()) {
    ShowMessage(
        strings::Translated(strings::kWarningCaption),
        strings::Translated(strings::kUnreadableCompanion).arg(unreadable.join(QLatin1Char('\n'))));
  }
  if (!shortOfMemory.isEmpty()) {
    ShowMessage(
        strings::Translated(strings::kWarningCaption),
        strings::Translated(strings::kOutOfMemory).arg(shortOfMemory.join(QLatin1Char('\n'))));
  }
}

void CompositorDialog::ShowStatus() {
  QStringList lines;
  if (!additionsProblem_.isEmpty()) lines << additionsProblem_;
  if (!recolouringProblem_.isEmpty()) lines << recolouringProblem_;
  for (const std::string& reason : undecoded_.Reasons()) lines << QString::fromStdString(reason);
  panel_->SetStatus(lines.join(QLatin1Char('\n')));
}

QStringList CompositorDialog::UnreadableCompanions(
    const std::map<std::string, std::string>& failures) {
  QStringList unreadable;
  for (int part = 0; part < kPartCount; ++part) {
    const LayerSlot& slot = state_.layers[CompanionSlot(part)];
    const auto failure = failures.find(slot.loadedPath);
    if (!slot.IsEmpty() || failure == failures.end()) continue;
    // A missing companion is the usual case.
    std::error_code missing;
    if (!std::filesystem::exists(PathFromUtf8(slot.loadedPath), missing)) continue;
    // Once per image, not on every refresh that reloads it.
    if (!toldCompanions_.insert(slot.loadedPath).second) continue;
    unreadable << QString::fromStdString(failure->second);
  }
  return unreadable;
}

void CompositorDialog::GenerateImage() {
  // Every change of a slot or of the half box recomposes at once, so the preview's composite
  // is the picture to save.
  const RasterImage& composite = preview_->Composite();
  if (composite.IsNull()) {
    ShowMessage(strings::Translated(strings::kSaveCaption),
                strings::Translated(strings::kNothingToSave));
    return;
  }
  const QString proposed = ProposedSaveFile(state_.setName);
  bool withMetadata = SaveMetadataRemembered();
  const QString fileName = prompts_.askSaveFile ? prompts_.askSaveFile(proposed, withMetadata)
                                                : AskImageFileName(this, proposed, &withMetadata);
  if (fileName.isEmpty()) return;
  RememberSaveMetadata(withMetadata);
  const Status saved = WriteImageFile(composite, PathFromUtf8(fileName.toStdString()));
  if (!saved) {
    ShowMessage(
        strings::Translated(strings::kSaveCaption),
        strings::Translated(strings::kSaveFailed)
            .arg(QDir::toNativeSeparators(fileName), QString::fromStdString(saved.Message())));
    return;
  }
  RememberSavedFile(fileName);
  if (withMetadata) SaveMetadata(fileName, composite);
}

void CompositorDialog::SaveMetadata(const QString& fileName, const RasterImage& composite) {
  // As tessarin-compose --metadata writes them for one character.
  const std::string sheetPath = fileName.toStdString();
  PartSelection files;
  for (int part = 0; part < kPartCount; ++part) {
    files[static_cast<std::size_t>(part)] = SelectedFileName(part);
  }
  SheetMetadata metadata;
  metadata.imageName = PathToUtf8(PathFromUtf8(sheetPath).filename());
  metadata.width = composite.Width();
  metadata.height = composite.Height();
  metadata.cells = CellsFor(additions_.extras, compositeHalf_);
  metadata.animations = AnimationsFor(additions_.extras, compositeHalf_);
  metadata.recipe = CurrentRecipe();
  metadata.images = UsedImages(state_, additions_.credits, files);
  for (const auto& [path, text] : MetadataFiles(metadata, sheetPath)) {
    const Status saved = SaveBytesAtomically(PathFromUtf8(path), text);
    if (!saved) {
      ShowMessage(strings::Translated(strings::kSaveCaption),
                  tr("メタデータを保存できませんでした。\n%1\n\n%2")
                      .arg(QDir::toNativeSeparators(QString::fromStdString(path)),
                           QString::fromStdString(saved.Message())));
      return;
    }
  }
}

CharacterRecipe CompositorDialog::CurrentRecipe() const {
  PartSelection files;
  for (int part = 0; part < kPartCount; ++part) {
    files[static_cast<std::size_t>(part)] = SelectedFileName(part);
  }
  const ColourSection& colours = panel_->Colours();
  return RecipeOf(state_, files, ChosenColours(additions_.extras.materials, colours.Choices()),
                  halfBox_->isChecked(), colours.Rule());
}

void CompositorDialog::OpenRecipe() {
  // Where sheets and recipes were last saved, as the save dialog offers.
  const QFileInfo proposed(ProposedSaveFile(state_.setName));
  const QString folder = proposed.isAbsolute() ? proposed.absolutePath() : QString();
  const QString fileName =
      prompts_.askRecipeToOpen ? prompts_.askRecipeToOpen(folder) : AskRecipeToOpen(this, folder);
  if (fileName.isEmpty()) return;
  std::vector<std::string> sets;
  for (int entry = 0; entry < setList_->count(); ++entry) {
    sets.push_back(setList_->itemData(entry).toString().toStdString());
  }
  // Everything is checked before anything is shown, so that a bad recipe changes nothing.
  const std::variant<RecipeChoices, std::string> read =
      ReadRecipeChoices(PathFromUtf8(fileName.toStdString()), state_.baseFolder, sets);
  if (const auto* why = std::get_if<std::string>(&read)) {
    ShowMessage(QCoreApplication::translate("tessarin::RecipeSection", "レシピを開く"),
                QString::fromStdString(*why));
    return;
  }
  const RecipeChoices& recipe = std::get<RecipeChoices>(read);
  // As a choice of the set, the one shown included: it is read again from disk, and the
  // recipe's picks are taken from what is there now.
  {
    const QSignalBlocker blocker(setList_);
    setList_->setCurrentIndex(setList_->findData(QString::fromStdString(recipe.setName)));
  }
  LoadSet();
  WindowChoices choices = CaptureChoices(Choices());
  recipe.PutInto(choices);
  ShowChoices(choices);
  history_->Record();
}

void CompositorDialog::SaveRecipe() {
  const QString caption = QCoreApplication::translate("tessarin::RecipeSection", "レシピを保存");
  if (state_.setName.empty()) {
    ShowMessage(caption, strings::Translated(strings::kNothingToSave));
    return;
  }
  QString proposed = ProposedSaveFile(state_.setName);
  proposed = proposed.left(proposed.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".json");
  const QString fileName =
      prompts_.askRecipeFile ? prompts_.askRecipeFile(proposed) : AskRecipeFileName(this, proposed);
  if (fileName.isEmpty()) return;
  const Status saved =
      SaveBytesAtomically(PathFromUtf8(fileName.toStdString()), RecipeJson(CurrentRecipe()) + "\n");
  if (!saved) {
    ShowMessage(caption, strings::Translated(strings::kSaveFailed)
                             .arg(QDir::toNativeSeparators(fileName),
                                  QString::fromStdString(saved.Message())));
  }
}

void CompositorDialog::CopyCommand() {
  if (state_.setName.empty()) return;
  QGuiApplication::clipboard()->setText(
      ComposeCommandLine(CurrentRecipe(), state_.baseFolder, ProposedSaveFile(state_.setName)));
}

void CompositorDialog::RandomCompose() {
  std::array<bool, kPartCount> ticked{};
  std::array<int, kPartCount> counts{};
  std::array<int, kPartCount> selection{};
  // Under chosen licences a ticked part draws among its allowed images only, as the command
  // line's --license does, and its entries count them alone.
  const std::vector<std::string> licences = panel_->Credits().AllowedLicences();
  std::array<std::vector<int>, kPartCount> allowedRows;
  for (std::size_t k = 0; k < kPartCount; ++k) {
    ticked[k] = randomBoxes_[k]->isChecked();
    counts[k] = partLists_[k]->count();
    selection[k] = SelectedRow(*partLists_[k]);
    if (!ticked[k] || licences.empty()) continue;
    const int part = static_cast<int>(k);
    std::vector<std::string> images;
    for (int row = 1; row < counts[k]; ++row) {
      images.push_back(partLists_[k]->item(row)->text().toStdString());
    }
    const std::vector<std::string> allowed =
        LicensedImages(state_, part, images, additions_.credits, licences);
    for (std::size_t i = 0, row = 0; i < allowed.size(); ++i) {
      while (images[row] != allowed[i]) ++row;
      allowedRows[k].push_back(static_cast<int>(row) + 1);
    }
    counts[k] = 1 + static_cast<int>(allowed.size());
    // What it shows may not be allowed; with nothing allowed it is left empty.
    selection[k] = 0;
  }
  tessarin::RandomCompose(random_, ticked, counts, selection);
  for (std::size_t k = 0; k < kPartCount; ++k) {
    if (!ticked[k] || licences.empty() || selection[k] <= 0) continue;
    selection[k] = allowedRows[k][static_cast<std::size_t>(selection[k] - 1)];
  }
  // After the parts, from the same generator, as the command line draws: a set without
  // palettes draws as it always did.
  ColourSection& colours = panel_->Colours();
  std::vector<int> choices = colours.Choices();
  const std::vector<int> choicesBefore = choices;
  tessarin::RandomColours(random_, colours.Ticked(), colours.ChoiceCounts(), choices);
  if (choices != choicesBefore) {
    colours.SetChoices(choices);
    compositeStale_ = true;
  }
  for (std::size_t k = 0; k < kPartCount; ++k) {
    if (selection[k] == SelectedRow(*partLists_[k])) continue;
    const QSignalBlocker blocker(partLists_[k]);
    partLists_[k]->setCurrentRow(selection[k]);
  }
  RefreshLayers();
}

void CompositorDialog::ShowAbout() {
  AboutDialog about(this, icon_);
  about.exec();
}

void CompositorDialog::SetSidePanelShown(bool shown) {
  panelAction_->setChecked(shown);
}

void CompositorDialog::ApplySidePanel(bool shown) {
  if (shown == panelShown_ && panel_->isVisibleTo(this) == shown) return;
  if (!shown && panelShown_) shownSize_ = size();
  panelShown_ = shown;
  if (shown) {
    const int least = std::max(kMinPanelWidth, panel_->minimumSizeHint().width());
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMinimumSize(classicSize_.width() + least, classicSize_.height());
    resize(shownSize_.expandedTo(minimumSize()));
  } else {
    // Exactly the classic window again.
    setFixedSize(classicSize_);
  }
  PlaceSidePanel();
  panel_->setVisible(shown);
  CheckSidePanelInSystemMenu(*this, shown);
}

void CompositorDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceSidePanel();
}

void CompositorDialog::PlaceSidePanel() {
  panel_->setGeometry(classicSize_.width(), 0, std::max(0, width() - classicSize_.width()),
                      height());
}

void CompositorDialog::ShowMessage(const QString& caption, const QString& text) {
  if (prompts_.showMessage) {
    prompts_.showMessage(caption, text);
  } else {
    ShowPlainMessage(this, caption, text);
  }
}

void CompositorDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  // A focused push button takes Enter itself. Anywhere else Enter stands for the hidden
  // default button, which Qt does not press while it is hidden.
  if (enter && modifiers == Qt::NoModifier &&
      qobject_cast<QPushButton*>(focusWidget()) == nullptr) {
    ControlOf<QPushButton>(controls_, ids::kOk)->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CompositorDialog::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  const QAction* about = menu.addAction(strings::Translated(strings::kAboutMenuItem));
  menu.addAction(panelAction_);
  if (menu.exec(event->globalPos()) == about) ShowAbout();
}

bool CompositorDialog::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  switch (SystemMenuCommandOf(eventType, message)) {
    case SystemMenuCommand::About:
      ShowAbout();
      *result = 0;
      return true;
    case SystemMenuCommand::SidePanel:
      panelAction_->toggle();
      *result = 0;
      return true;
    case SystemMenuCommand::None:
      break;
  }
  return QDialog::nativeEvent(eventType, message, result);
}

}  // namespace tessarin
