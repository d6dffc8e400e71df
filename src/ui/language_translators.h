#pragma once

#include <memory>
#include <vector>

#include "language_choice.h"

class QString;
class QTranslator;

namespace tessarin {

// The translations of one language, installed on the running application for as long as this
// object lives: the window's own texts and Qt's (the file dialog's buttons and the like).
class LanguageTranslators {
 public:
  explicit LanguageTranslators(Language language);
  ~LanguageTranslators();
  LanguageTranslators(const LanguageTranslators&) = delete;
  LanguageTranslators& operator=(const LanguageTranslators&) = delete;

  // How many translations were found and installed.
  int Count() const { return static_cast<int>(installed_.size()); }

 private:
  void Install(const QString& fileName, const QString& directory);

  std::vector<std::unique_ptr<QTranslator>> installed_;
};

}  // namespace tessarin
