// The program wexo: the entry window of the article management.
#include "wexostart.h"

#include <QApplication>
#include <QFontDatabase>
#include "components/qvnresourceglyph.h"
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <thread>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
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
