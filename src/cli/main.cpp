#ifdef _WIN32
#include <io.h>
#define TESSARIN_STDERR_IS_TERMINAL (_isatty(2) != 0)
#else
#include <unistd.h>
#define TESSARIN_STDERR_IS_TERMINAL (isatty(STDERR_FILENO) != 0)
#endif

#include <QString>
#include <QtGlobal>

#include <iostream>
#include <string>
#include <vector>

#include "compose_command.h"

namespace {

// Every failure is reported in the program's own words; the toolkit's chatter about the same
// file (libpng's "Read Error" and the like) would only break pipelines' one-line errors.
void KeepOnlyCriticalMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    std::cerr << "tessarin-compose: " << text.toStdString() << '\n';
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  qInstallMessageHandler(KeepOnlyCriticalMessages);
  std::vector<std::string> args(argv + 1, argv + argc);
  return tessarin::cli::RunComposeCommand(args, std::cout, std::cerr, TESSARIN_STDERR_IS_TERMINAL);
}
