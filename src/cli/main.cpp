#ifdef _WIN32
#include <io.h>
#define TESSARIN_STDERR_IS_TERMINAL (_isatty(2) != 0)
#define STDERR_FILENO 2
#else
#include <unistd.h>
#define TESSARIN_STDERR_IS_TERMINAL (isatty(STDERR_FILENO) != 0)
#endif

#include <QString>
#include <QtGlobal>

#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "compose_command.h"
#include "error_output.h"
#include "partial_files.h"
#include "shown_name.h"

namespace {

using tessarin::cli::ErrorOutput;

// Never destroyed: the toolkit may still report while the program ends.
ErrorOutput& StandardError() {
  static ErrorOutput* const output = new ErrorOutput(STDERR_FILENO);
  return *output;
}

// Every failure is reported in the program's own words; the toolkit's chatter about the same
// file (libpng's "Read Error" and the like) would only break pipelines' one-line errors. Called
// on whichever thread decodes or encodes, while the main thread may be drawing the bar.
void KeepOnlyCriticalMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    StandardError().Write(std::string(tessarin::cli::kProgramName) + ": " +
                          tessarin::TerminalText(text.toStdString()) + '\n');
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  tessarin::RemovePartialFilesOnTermination();
  qInstallMessageHandler(KeepOnlyCriticalMessages);
  std::vector<std::string> args(argv + 1, argv + argc);
  tessarin::cli::ErrorOutputBuffer errorBuffer(StandardError());
  std::ostream err(&errorBuffer);
  return tessarin::cli::RunComposeCommand(args, std::cout, err, TESSARIN_STDERR_IS_TERMINAL);
}
