// The program wexo: the entry window of the article management.
#include "wexostart.h"

#include <QApplication>
#include "components/qvnresourceglyph.h"
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  // German texts of Qt's own dialogs and key names.
  QTranslator qtTranslator;
  if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    app.installTranslator(&qtTranslator);
  app.setWindowIcon(TQVNResourceGlyph::IconForName(QStringLiteral("WEXO")));
  return WexoRun(app, WexoDefaultHooks());
}
