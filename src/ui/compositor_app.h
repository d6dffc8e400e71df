#pragma once

#include <QApplication>

#include <string>

namespace tessarin {

// The process's application: runs the window modally and ends when it closes. The one
// optional argument names a Graphics folder to use instead of the default one.
class CompositorApp {
 public:
  CompositorApp(int& argc, char** argv);
  int Run();

 private:
  QApplication application_;
  // The Graphics folder argument as given: its bytes need not be UTF-8.
  std::string baseFolderArgument_;
  bool hasBaseFolderArgument_ = false;
};

}  // namespace tessarin
