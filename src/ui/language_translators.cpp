#include "language_translators.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace tessarin {

LanguageTranslators::LanguageTranslators(Language language) {
  switch (language) {
    case Language::Japanese:
      // The window's texts are Japanese already; Qt's come from the system, when it has them.
      Install(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
      break;
    case Language::English:
      // Qt's own texts are English already.
      Install(QStringLiteral("tessarin_en"), QStringLiteral(":/tessarin/translations"));
      break;
  }
}

// A translator takes itself out of the application as it goes.
LanguageTranslators::~LanguageTranslators() = default;

void LanguageTranslators::Install(const QString& fileName, const QString& directory) {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(fileName, directory)) return;
  if (!QCoreApplication::installTranslator(translator.get())) return;
  installed_.push_back(std::move(translator));
}

}  // namespace tessarin
