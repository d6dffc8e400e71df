#pragma once

#include <optional>
#include <string>

class QString;

namespace tessarin {

// The window's texts are written in Japanese; English comes from a translation.
enum class Language { Japanese, English };

// The window's language: what --lang says ("ja" or "en") when it is given, else English under
// a system locale whose language is English and Japanese under any other. Empty for a --lang
// value that is neither; a --lang without a value counts as "".
std::optional<Language> ChooseLanguage(const QString& systemLocaleName,
                                       const std::optional<std::string>& langFlag);

// The one line that tells a --lang value ChooseLanguage refuses.
std::string LanguageFlagError(const std::string& langFlag);

}  // namespace tessarin
