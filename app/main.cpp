// The program wexo: the entry window of the article management.
#include "commandline.h"
#include "wexostart.h"

#include <QApplication>
#include <QFontDatabase>
#include "components/qvnresourceglyph.h"
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>
#include <thread>

namespace {
int Answer(const TWexoCommandLine &answer) {
  std::fputs(answer.Output.toLocal8Bit().constData(), answer.ExitCode == 2 ? stderr : stdout);
  return answer.ExitCode;
}
} // namespace

int main(int argc, char **argv) {
  // Help and version need no screen: answered before Qt looks for one.
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
  if (const TWexoCommandLine answer = WexoAnswerWithoutWindow(arguments); !answer.Start)
    return Answer(answer);
  QApplication app(argc, argv);
  // Qt has taken its own options (-platform, -style, …); what is left must be ours.
  if (const TWexoCommandLine answer = WexoCheckCommandLine(app.arguments()); !answer.Start)
    return Answer(answer);
  // Reading the system's font list is the largest single part of a start. It
  // runs beside opening the database and building the window, which wait for
  // it only when they first measure a text (the font database is locked).
  std::jthread fontList([] { QFontDatabase::families(); });
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  // German texts of Qt's own dialogs and key names.
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTranslator);
  app.setWindowIcon(TQVNResourceGlyph::IconForName(QStringLiteral("WEXO")));
  return WexoRun(app, WexoDefaultHooks());
}
