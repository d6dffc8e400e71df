#pragma once

#include <QApplication>

#include <string>

#include "language_choice.h"
#include "language_translators.h"

namespace tessarin {

// The process's application: runs the window modally and ends when it closes. The one
// optional argument names a Graphics folder to use instead of the default one; the window
// speaks the given language.
class CompositorApp {
 public:
  CompositorApp(int& argc, char** argv, Language language);
  int Run();

 private:
  QApplication application_;
  LanguageTranslators translators_;
  // The Graphics folder argument as given: its bytes need not be UTF-8.
  std::string baseFolderArgument_;
  bool hasBaseFolderArgument_ = false;
};

}  // namespace tessarin
