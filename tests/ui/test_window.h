#pragma once

#include <QColor>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string_view>

#include "compositor_dialog.h"
#include "control_ids.h"
#include "folder_layout.h"
#include "image_file.h"
#include "preview_widget.h"
#include "raster_image.h"

namespace tessarin::ui_testing {

// The inside of the etched frame around the preview, in window pixels: nothing else is there.
inline QRect FrameInside(const QWidget& window) {
  for (const QFrame* frame : window.findChildren<QFrame*>()) {
    if (frame->metaObject() == &QFrame::staticMetaObject) {
      return frame->contentsRect().translated(frame->pos());
    }
  }
  return {};
}

// A file's bytes; none when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What the window shows on the screen, as the person sees it.
inline QImage ScreenShot(const QWidget& window) {
  return window.screen()
      ->grabWindow(window.winId())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

// A Graphics folder in a temporary directory.
class TestGraphics {
 public:
  TestGraphics() { std::filesystem::create_directories(base_); }
  // Removed by their bytes first: the temporary folder cannot remove names that are not UTF-8.
  ~TestGraphics() {
    std::error_code ignored;
    std::filesystem::remove_all(base_, ignored);
  }
  TestGraphics(const TestGraphics&) = delete;
  TestGraphics& operator=(const TestGraphics&) = delete;
  const std::filesystem::path& Base() const { return base_; }

  void WriteText(std::string_view relative, std::string_view text) const {
    const std::filesystem::path path = base_ / PathFromUtf8(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
  }
  void WritePng(std::string_view relative, int width, int height,
                const std::function<QRgb(int, int)>& colour) const {
    RasterImage image;
    image.Create(width, height, 32, true);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const QRgb bgra = colour(x, y);  // B, G, R, A in memory order
        for (int byte = 0; byte < 4; ++byte) {
          image.Row(y)[4 * x + byte] = static_cast<std::uint8_t>(bgra >> (8 * byte));
        }
      }
    }
    const std::filesystem::path path = base_ / PathFromUtf8(relative);
    std::filesystem::create_directories(path.parent_path());
    WriteImageFile(image, path);
  }

  // "Hero", 40 x 24. Part 0 Body: a.png, every pixel its own colour and alpha, and opaque
  // b.png. Part 1 Hat: no folder. Part 2 Hair: long.png, translucent yellow on top, with the
  // companion long$.png, blue on the right; Short.PNG, faint white.
  const std::filesystem::path& WithHeroSet() const {
    WriteText("Hero/setting.txt", "Xsize:40\nYsize:24\nBody=1\nHat=2\nHair=3\n");
    WritePng("Hero/Body/a.png", 40, 24, [](int x, int y) {
      return qRgba(6 * x, 10 * y, 200 - 3 * x, (7 * x + 11 * y) % 256);
    });
    WritePng("Hero/Body/b.png", 40, 24, [](int, int) { return qRgba(0, 200, 0, 255); });
    WritePng("Hero/Hair/long.png", 40, 24,
             [](int, int y) { return y < 8 ? qRgba(250, 250, 0, 160) : 0u; });
    WritePng("Hero/Hair/long$.png", 40, 24,
             [](int x, int) { return x >= 20 ? qRgba(0, 0, 250, 255) : 0u; });
    WritePng("Hero/Hair/Short.PNG", 40, 24, [](int, int) { return qRgba(255, 255, 255, 100); });
    return base_;
  }

 private:
  QTemporaryDir dir_;
  std::filesystem::path base_ = PathFromUtf8(dir_.path().toStdString()) / "Graphics";
};

// The main window with its messages captured and the save question answered by the test.
// A set of one part, Body, holding pattern.png of the pattern's size; the setting file gives
// the sheet's size (none for an empty size, which shows the same controls and no preview).
inline void WriteSheetSet(const TestGraphics& graphics, QSize sheet, QSize pattern,
                          const std::function<QRgb(int, int)>& colourAt) {
  graphics.WriteText("Sheet/setting.txt", QStringLiteral("Xsize:%1\nYsize:%2\nBody=1\n")
                                              .arg(sheet.width())
                                              .arg(sheet.height())
                                              .toStdString());
  graphics.WritePng("Sheet/Body/pattern.png", pattern.width(), pattern.height(), colourAt);
}

struct TestWindow {
  explicit TestWindow(const std::filesystem::path& base)
      : dialog(base, {[this](const QString& caption, const QString& text) {
                        captions << caption;
                        texts << text;
                      },
                      [this](const QString& proposed, bool& withMetadata) {
                        ++saveQuestions;
                        saveProposals << proposed;
                        metadataOffers << withMetadata;
                        withMetadata = metadataAnswer;
                        return saveAnswer;
                      },
                      [this](const QString&) {
                        ++folderQuestions;
                        return folderAnswer;
                      },
                      [this](const QString& proposed) {
                        recipeProposals << proposed;
                        return recipeAnswer;
                      },
                      [this](const QString&) {
                        ++openQuestions;
                        return openAnswer;
                      }}) {}

  template <typename Widget = QWidget>
  Widget* Control(int id) const {
    return qobject_cast<Widget*>(dialog.Control(id));
  }
  QListWidget* PartList(int part) const { return Control<QListWidget>(ids::PartList(part)); }
  // As a person chooses a set: even the set already shown counts as a choice.
  void ChooseSet(int entry) const {
    QComboBox* sets = Control<QComboBox>(ids::kSetList);
    sets->setCurrentIndex(entry);
    emit sets->activated(entry);
  }
  int SelectedRow(int part) const {
    const QList<QListWidgetItem*> items = PartList(part)->selectedItems();
    return items.isEmpty() ? -1 : PartList(part)->row(items.constFirst());
  }

  // Declared before the window, which may speak while it starts.
  QStringList captions;
  QStringList texts;
  QString saveAnswer;
  int saveQuestions = 0;
  // What each save question proposed.
  QStringList saveProposals;
  // Whether the image is saved with its metadata: as each question offered it, and the answer.
  QList<bool> metadataOffers;
  bool metadataAnswer = false;
  QString folderAnswer;
  int folderQuestions = 0;
  QString recipeAnswer;
  QStringList recipeProposals;
  // The recipe file to open; "" cancels.
  QString openAnswer;
  int openQuestions = 0;
  CompositorDialog dialog;
};

// The usual start: a window on the Hero set.
struct HeroWindow {
  TestGraphics graphics;
  TestWindow window{graphics.WithHeroSet()};
};

// The sample sets in the source tree.
inline std::filesystem::path SampleGraphics() {
  return PathFromUtf8(TESSARIN_SOURCE_DIR) / "examples" / "Graphics";
}

// Hero, with a material of two variants and one licence, and after it a second set Tiny of 8 x 8
// with one part.
inline const std::filesystem::path& WithTwoSets(const TestGraphics& graphics) {
  graphics.WithHeroSet();
  graphics.WriteText("Hero/set.json", R"({"palettes": {"skin": {"source": ["#102030"],
                     "variants": {"dark": ["#000000"], "pale": ["#f0f0f0"]}}}})");
  graphics.WriteText("Hero/CREDITS.csv", "filename,notes,authors,licenses,urls\n.,,Ann,CC0-1.0,\n");
  graphics.WriteText("Tiny/setting.txt", "Xsize:8\nYsize:8\nFace=1\n");
  graphics.WritePng("Tiny/Face/f.png", 8, 8, [](int, int) { return qRgba(9, 9, 9, 255); });
  return graphics.Base();
}

struct TwoSetWindow {
  TestGraphics graphics;
  TestWindow window{WithTwoSets(graphics)};
};

}  // namespace tessarin::ui_testing
