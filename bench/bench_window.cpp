// The window as a person feels it: from a changed selection in a part list to the finished
// repaint, a repaint of the side panel's sheet view at 4x of a 1024 x 1024 sheet, one frame
// of the walk cycle, from process start to the first painted window, with peak memory, and
// from closing the window to the end of its process.
// Usage: bench_window [GRAPHICS_DIR [REPAINT_TARGET_MS]]   (default: the sample sets, 5 ms)
// Start-up is timed on this program started again as the window alone: bench_window
// --first-paint GRAPHICS_DIR opens the window as tessarin does and ends at its first paint.
// Closing is timed the same way: bench_window --close-to-exit HOW GRAPHICS_DIR STAMP_FILE runs
// the program as tessarin does on a 1024 x 1024 set, every part picked, then closes it as a
// person would (HOW: wm, esc or quit) and writes the moment it did to STAMP_FILE.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "animation_playback.h"
#include "child_run.h"
#include "compositor_app.h"
#include "compositor_dialog.h"
#include "control_ids.h"
#include "plasma_painting.h"
#include "preview_widget.h"
#include "sheet_view.h"
#include "walk_cycle_stage.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSelectionChanges = 400;
constexpr int kStartRuns = 15;
// For the sample sets' small sheets; larger sheets are given their own target.
constexpr double kRepaintTargetMs = 5;
constexpr double kStartTargetMs = 300;
constexpr int kSheetViewRepaints = 200;
constexpr int kSheetViewSide = 1024;
constexpr int kSheetViewZoom = 4;
constexpr double kSheetViewTargetMs = 16;
constexpr int kWalkFrames = 300;
constexpr double kWalkFrameTargetMs = 2;
constexpr int kCloseRuns = 5;
constexpr double kCloseTargetMs = 200;

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return QObject::eventFilter(watched, event);
  }
};

constexpr const char* kFirstPaintMode = "--first-paint";

// Ends the application once the watched window has been painted for the first time; the rest
// of that paint, its controls included, finishes first.
class QuitAfterFirstPaint : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !quitting_) {
      quitting_ = true;
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool quitting_ = false;
};

// The window remembers its side panel; the benchmark leaves a person's choice alone and
// measures the window as it first opens, panel shown.
void UseFreshSettings(const QTemporaryDir& folder) {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
}

// The window as the program opens it, up to its first paint.
int OpenWindowUntilFirstPaint(int argc, char** argv) {
  tessarin::CompositorApp app(argc, argv, tessarin::Language::Japanese);
  const QTemporaryDir settings;
  UseFreshSettings(settings);
  const fs::path graphics = argv[2];
  tessarin::CompositorDialog dialog(graphics);
  QuitAfterFirstPaint quit;
  dialog.installEventFilter(&quit);
  dialog.show();
  return QApplication::exec();
}

constexpr const char* kCloseToExitMode = "--close-to-exit";

long long SteadyNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Once the window has painted, picks the first image of every part, so that a large composite
// is shown, then closes the window as asked and notes when.
class CloseOnceShown : public QObject {
 public:
  CloseOnceShown(std::string how, std::string stampFile)
      : how_(std::move(how)), stampFile_(std::move(stampFile)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* dialog = qobject_cast<tessarin::CompositorDialog*>(watched);
    if (dialog != nullptr && event->type() == QEvent::Paint && !closing_) {
      closing_ = true;
      QTimer::singleShot(0, dialog, [this, dialog] { Close(*dialog); });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Close(tessarin::CompositorDialog& dialog) const {
    for (int part = 0; part < tessarin::kPartCount; ++part) {
      auto* list = qobject_cast<QListWidget*>(dialog.Control(tessarin::ids::PartList(part)));
      if (list->count() > 1) list->setCurrentRow(1);
    }
    QApplication::processEvents();
    std::ofstream(stampFile_) << SteadyNanoseconds() << '\n';
    if (how_ == "esc") {
      QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(dialog.focusWidget() ? dialog.focusWidget() : &dialog, &escape);
    } else if (how_ == "quit") {
      qobject_cast<QPushButton*>(dialog.Control(tessarin::ids::kQuit))->click();
    } else {
      dialog.close();  // what the window manager's close asks for
    }
  }

  std::string how_;
  std::string stampFile_;
  bool closing_ = false;
};

// The program as tessarin runs it, from main to its end, closed once shown.
int RunUntilClosed(char** argv) {
  std::string program = argv[0];
  std::string folder = argv[3];
  int appArgc = 2;
  char* appArgv[] = {program.data(), folder.data(), nullptr};
  tessarin::CompositorApp app(appArgc, appArgv, tessarin::Language::Japanese);
  CloseOnceShown closer(argv[2], argv[4]);
  qApp->installEventFilter(&closer);
  return app.Run();
}

// Milliseconds from the close to the end of the process, one figure per run; empty when a run
// failed.
std::vector<double> CloseToExitMs(const std::string& how, const fs::path& graphics,
                                  const QTemporaryDir& scratch) {
  std::vector<double> figures;
  const std::string stampFile = scratch.filePath(QStringLiteral("closed")).toStdString();
  for (int i = 0; i < kCloseRuns; ++i) {
    const tessarin::bench::ChildRun run = tessarin::bench::RunChild(
        "/proc/self/exe", {kCloseToExitMode, how, graphics.string(), stampFile});
    const long long ended = SteadyNanoseconds();
    long long closed = 0;
    std::ifstream(stampFile) >> closed;
    if (run.exitCode != 0 || closed == 0) return {};
    figures.push_back(static_cast<double>(ended - closed) / 1e6);
    fs::remove(stampFile);
  }
  return figures;
}

struct ChildRun {
  int exitCode = -1;
  double milliseconds = 0;
  long peakKiB = 0;
};

// This program in window mode, which quits right after the window's first paint.
ChildRun StartWindow(const fs::path& graphics) {
  std::string program = "/proc/self/exe";
  std::string mode = kFirstPaintMode;
  std::string folder = graphics.string();
  std::vector<char*> argv = {program.data(), mode.data(), folder.data(), nullptr};
  std::vector<std::string> environment = {"QT_QPA_PLATFORM=offscreen"};
  for (char** variable = environ; *variable != nullptr; ++variable) {
    const std::string entry = *variable;
    if (entry.rfind("QT_QPA_PLATFORM=", 0) != 0) environment.push_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);

  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) == pid && WIFEXITED(status)) {
      run.exitCode = WEXITSTATUS(status);
    }
    run.peakKiB = usage.ru_maxrss;
  }
  run.milliseconds =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  return run;
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

const char* Verdict(bool met) {
  return met ? "met" : "MISSED";
}

long PeakKiB(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_maxrss;
}

// One frame of the walk: the cells of the next moment painted at 2x, every one changed, from a
// painted 1024 x 1024 sheet of 8 x 4 cells whose alpha takes every value. The walk keeps the
// cells it has drawn; afresh, it has to draw each again, as on its first pass.
std::vector<double> WalkFrameMs(const tessarin::RasterImage& sheet, bool allDirections,
                                bool afresh) {
  tessarin::WalkCycleStage stage;
  stage.SetComposite(sheet);
  stage.SetCells({8, 4, 128, 256});
  stage.SetZoom(2);
  std::vector<tessarin::FrameLoop> loops;
  for (int direction = 0; direction < (allDirections ? 8 : 1); ++direction) {
    const int first = direction % 4 * 8 + direction / 4 * 4;
    loops.emplace_back(
        tessarin::Animation{"", first, first + 3, tessarin::Playback::PingPong, 150});
  }
  stage.ShowCells(tessarin::CellsAt(loops, 0));
  stage.resize(stage.sizeHint());
  stage.show();
  QApplication::processEvents();
  std::vector<double> frameMs;
  for (int i = 1; i <= kWalkFrames; ++i) {
    if (afresh) stage.SetZoom(2);  // forgets the cells drawn
    stage.ShowCells(tessarin::CellsAt(loops, i * 150));
    const auto start = std::chrono::steady_clock::now();
    stage.repaint();
    frameMs.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  return frameMs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == kFirstPaintMode) {
    return OpenWindowUntilFirstPaint(argc, argv);
  }
  if (argc == 5 && std::string(argv[1]) == kCloseToExitMode) return RunUntilClosed(argv);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QTemporaryDir settings;
  UseFreshSettings(settings);
  const fs::path graphics = argc > 1 ? fs::path(argv[1]) : fs::path(TESSARIN_SAMPLE_GRAPHICS);
  const double repaintTargetMs = argc > 2 ? std::atof(argv[2]) : kRepaintTargetMs;
  std::printf("tessarin window, sets from\n  %s\n\n", graphics.string().c_str());

  tessarin::CompositorDialog dialog(graphics);
  // A changed selection repaints the preview alone.
  PaintCounter paints;
  dialog.findChild<tessarin::PreviewWidget*>()->installEventFilter(&paints);
  dialog.show();
  while (paints.count == 0) QApplication::processEvents();

  // Every part shows its first image, as in a finished character, so that each repaint
  // composes the whole stack. The part list with the most images is then stepped through, so
  // that every change loads a new pair.
  QListWidget* list = nullptr;
  for (int part = 0; part < tessarin::kPartCount; ++part) {
    auto* candidate = qobject_cast<QListWidget*>(dialog.Control(tessarin::ids::PartList(part)));
    if (candidate->count() > 1) candidate->setCurrentRow(1);
    if (list == nullptr || candidate->count() > list->count()) list = candidate;
  }
  QApplication::processEvents();
  if (list == nullptr || list->count() < 3) {
    std::fprintf(stderr, "the set shown first needs a part with two images or more\n");
    return 1;
  }
  std::vector<double> repaintMs;
  for (int i = 0; i < kSelectionChanges; ++i) {
    const int row = 1 + (i + 1) % (list->count() - 1);  // row 1 is shown already
    const int before = paints.count;
    const auto start = std::chrono::steady_clock::now();
    list->setCurrentRow(row);
    while (paints.count == before) QApplication::processEvents();
    repaintMs.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  const double repaintMedian = Percentile(repaintMs, 0.5);
  std::printf("selection change to finished repaint (%d changes over %d images, set %s)\n",
              kSelectionChanges, list->count() - 1, dialog.State().setName.c_str());
  std::printf("  median %7.2f ms   p90 %7.2f ms   max %7.2f ms   target <= %.0f ms: %s\n",
              repaintMedian, Percentile(repaintMs, 0.9), Percentile(repaintMs, 1.0),
              repaintTargetMs, Verdict(repaintMedian <= repaintTargetMs));
  std::printf("  peak memory of this process %6.1f MiB\n\n",
              static_cast<double>(PeakKiB(RUSAGE_SELF)) / 1024);

  // The sheet view scrolled a step before each repaint, so that every repaint draws afresh; the
  // window as large as a full-HD screen, where the view covers the most pixels.
  auto* view = dialog.findChild<tessarin::SheetView*>();
  dialog.SetSidePanelShown(true);
  dialog.resize(1920, 1080);
  view->SetSheet(std::make_shared<const tessarin::RasterImage>(
      tessarin::bench::PlasmaPainting(kSheetViewSide, 7)));
  view->SetZoom(kSheetViewZoom);
  QApplication::processEvents();
  QScrollBar* bar = view->verticalScrollBar();
  std::vector<double> viewMs;
  for (int i = 0; i < kSheetViewRepaints; ++i) {
    bar->setValue((i * 97) % std::max(1, bar->maximum()));
    const auto start = std::chrono::steady_clock::now();
    view->viewport()->repaint();
    viewMs.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  const double viewMedian = Percentile(viewMs, 0.5);
  const QSize shown = view->viewport()->size() * view->devicePixelRatio();
  std::printf("side panel sheet view repaint, %d x %d sheet at %dx (%d repaints, %d x %d view)\n",
              kSheetViewSide, kSheetViewSide, kSheetViewZoom, kSheetViewRepaints, shown.width(),
              shown.height());
  std::printf("  median %7.2f ms   p90 %7.2f ms   max %7.2f ms   target <= %.0f ms: %s\n\n",
              viewMedian, Percentile(viewMs, 0.9), Percentile(viewMs, 1.0), kSheetViewTargetMs,
              Verdict(viewMedian <= kSheetViewTargetMs));
  const tessarin::RasterImage sheet = tessarin::bench::PlasmaPainting(1024, 7);
  std::printf("walk cycle frame at 2x (%d frames, 1024 x 1024 sheet of 128 x 256 cells)\n",
              kWalkFrames);
  for (const bool all : {false, true}) {
    const std::vector<double> frameMs = WalkFrameMs(sheet, all, false);
    const double median = Percentile(frameMs, 0.5);
    std::printf("  %-16s median %7.2f ms   p90 %7.2f ms   max %7.2f ms   target <= %.0f ms: %s\n",
                all ? "all 8 directions" : "one direction", median, Percentile(frameMs, 0.9),
                Percentile(frameMs, 1.0), kWalkFrameTargetMs,
                Verdict(median <= kWalkFrameTargetMs));
    const std::vector<double> afreshMs = WalkFrameMs(sheet, all, true);
    std::printf("  %-16s median %7.2f ms   p90 %7.2f ms   max %7.2f ms   (first pass)\n",
                "  cells afresh", Percentile(afreshMs, 0.5), Percentile(afreshMs, 0.9),
                Percentile(afreshMs, 1.0));
  }
  std::printf("\n");

  StartWindow(graphics);  // warms the file cache
  std::vector<double> startMs;
  long startPeak = 0;
  for (int i = 0; i < kStartRuns; ++i) {
    const ChildRun run = StartWindow(graphics);
    if (run.exitCode != 0) {
      std::fprintf(stderr, "the window exited with code %d\n", run.exitCode);
      return 1;
    }
    startMs.push_back(run.milliseconds);
    startPeak = std::max(startPeak, run.peakKiB);
  }
  const double startMedian = Percentile(startMs, 0.5);
  std::printf("process start to first painted window (%d runs, offscreen)\n", kStartRuns);
  std::printf("  median %7.1f ms   min %7.1f ms   max %7.1f ms   target <= %.0f ms: %s\n",
              startMedian, Percentile(startMs, 0), Percentile(startMs, 1.0), kStartTargetMs,
              Verdict(startMedian <= kStartTargetMs));
  std::printf("  peak memory of the window %6.1f MiB\n", static_cast<double>(startPeak) / 1024);

  // The children remember nothing in the person's settings.
  const QTemporaryDir scratch;
  qputenv("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config")).toLocal8Bit());
  const fs::path large = fs::path(scratch.path().toStdString()) / "Graphics";
  if (tessarin::bench::RunChild(TESSARIN_MAKE_LARGE_SET, {large.string()}).exitCode != 0) {
    std::fprintf(stderr, "make_large_set failed\n");
    return 1;
  }
  std::printf("\nclose to exit, 1024 x 1024 set with every part picked (%d runs each, offscreen)\n",
              kCloseRuns);
  for (const char* how : {"wm", "esc", "quit"}) {
    const std::vector<double> closeMs = CloseToExitMs(how, large, scratch);
    if (closeMs.empty()) {
      std::fprintf(stderr, "the window closed by %s did not end cleanly\n", how);
      return 1;
    }
    const double median = Percentile(closeMs, 0.5);
    std::printf("  %-5s median %7.1f ms   max %7.1f ms   target <= %.0f ms: %s\n", how, median,
                Percentile(closeMs, 1.0), kCloseTargetMs,
                Verdict(Percentile(closeMs, 1.0) <= kCloseTargetMs));
  }
  return 0;
}
