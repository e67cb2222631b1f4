#pragma once
// What the command line asks for: help, the version, or a start of the window
// (with the data module's direct starts, which it reads itself).
#include <QString>
#include <QStringList>

struct TWexoCommandLine {
  bool Start = true; // otherwise the program ends at once with ExitCode
  int ExitCode = 0;
  QString Output;    // for standard output (help, version) or, with ExitCode 2, standard error
};

// Before the application object exists: --help and --version answer without
// a screen; everything else waits for the full check.
TWexoCommandLine WexoAnswerWithoutWindow(const QStringList &arguments);
// After Qt took its own options (-platform, -style, …) out of the arguments:
// an option the program does not know is an error (exit code 2).
TWexoCommandLine WexoCheckCommandLine(const QStringList &arguments);
