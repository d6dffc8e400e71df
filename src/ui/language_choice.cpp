#include "language_choice.h"

#include <QLocale>
#include <QString>

namespace tessarin {

std::optional<Language> ChooseLanguage(const QString& systemLocaleName,
                                       const std::optional<std::string>& langFlag) {
  if (langFlag) {
    if (*langFlag == "ja") return Language::Japanese;
    if (*langFlag == "en") return Language::English;
    return std::nullopt;
  }
  // English is the one translation; every other language keeps the texts as written.
  return QLocale(systemLocaleName).language() == QLocale::English ? Language::English
                                                                  : Language::Japanese;
}

std::string LanguageFlagError(const std::string& langFlag) {
  std::string line = "tessarin: --lang takes ja or en";
  if (!langFlag.empty()) line += ", not \"" + langFlag + "\"";
  return line;
}

}  // namespace tessarin
