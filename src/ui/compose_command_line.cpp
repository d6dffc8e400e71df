#include "compose_command_line.h"

#include "folder_layout.h"

namespace tessarin {
namespace {

QString Utf8(const std::string& text) {
  return QString::fromStdString(text);
}

bool NeedsNoQuotes(const QString& argument) {
  if (argument.isEmpty()) return false;
  for (const QChar c : argument) {
    const char16_t u = c.unicode();
    const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                       u == '-' || u == '_' || u == '.' || u == '/' || u == '=' || u == ',' ||
                       u == '+' || u == ':' || u == '@' || u == '%';
    if (!plain) return false;
  }
  return true;
}

}  // namespace

QStringList ComposeArguments(const CharacterRecipe& recipe, const std::filesystem::path& graphics,
                             const QString& output) {
  QStringList args = {QStringLiteral("--graphics"), Utf8(PathToUtf8(graphics)),
                      QStringLiteral("--set"), Utf8(recipe.set)};
  for (const auto& [part, file] : recipe.picks) {
    if (file) args << QStringLiteral("--pick") << Utf8(part + "=" + *file);
  }
  for (const auto& [material, variant] : recipe.colours) {
    args << QStringLiteral("--color") << Utf8(material + "=" + variant);
  }
  if (recipe.half) args << QStringLiteral("--half");
  if (recipe.blend == BlendRule::Standard) {
    args << QStringLiteral("--blend") << QStringLiteral("standard");
  }
  args << QStringLiteral("-o") << output;
  return args;
}

QString ShellQuoted(const QString& argument) {
  if (NeedsNoQuotes(argument)) return argument;
#if defined(Q_OS_WIN)
  QString escaped = argument;
  escaped.replace(QLatin1Char('"'), QStringLiteral("\\\""));
  return QLatin1Char('"') + escaped + QLatin1Char('"');
#else
  // Nothing is special inside single quotes; a quote itself ends them, is escaped, and
  // starts them again.
  QString escaped = argument;
  escaped.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
  return QLatin1Char('\'') + escaped + QLatin1Char('\'');
#endif
}

QString ComposeCommandLine(const CharacterRecipe& recipe, const std::filesystem::path& graphics,
                           const QString& output) {
  QStringList words = {QStringLiteral("tessarin-compose")};
  for (const QString& argument : ComposeArguments(recipe, graphics, output)) {
    words << ShellQuoted(argument);
  }
  return words.join(QLatin1Char(' '));
}

}  // namespace tessarin
