#include <QLocale>
#include <iostream>

#include "compositor_app.h"
#include "language_choice.h"
#include "language_flag.h"
#include "partial_files.h"

int main(int argc, char** argv) {
  tessarin::RemovePartialFilesOnTermination();
  // Read before Qt starts, which without a display would stop the program before a bad value
  // could be told.
  const std::optional<std::string> langFlag = tessarin::TakeLanguageFlag(argc, argv);
  const std::optional<tessarin::Language> language =
      tessarin::ChooseLanguage(QLocale::system().name(), langFlag);
  if (!language) {
    std::cerr << tessarin::LanguageFlagError(langFlag.value_or("")) << '\n';
    return 2;
  }
  tessarin::CompositorApp app(argc, argv, *language);
  return app.Run();
}
