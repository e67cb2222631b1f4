#include "commandline.h"

#include <QCommandLineParser>

namespace {
struct TOption {
  QStringList Names;
  const char *Text;
};

const QList<TOption> &Options() {
  static const QList<TOption> options = {
      {{"h", "help"}, "Zeigt diese Hilfe an."},
      {{"v", "version"}, "Zeigt die Programmversion an."},
      {{"rechnung"}, "Öffnet gleich „Rechnung bearbeiten“ und beendet das Programm danach."},
      {{"gutschrift"}, "Öffnet gleich „Gutschrift bearbeiten“ und beendet das Programm danach."},
      {{"inventurzaehlung"}, "Öffnet gleich die Inventurzählung und beendet das Programm danach."},
      {{"schnellsuche"}, "Öffnet gleich die Schnellsuche und beendet das Programm danach."}};
  return options;
}

QString HelpText() {
  QString text = QStringLiteral("Aufruf: wexo [Option]\n"
                                "Artikelverwaltung: das Einstiegsfenster der Warenwirtschaft.\n\nOptionen:\n");
  for (const TOption &o : Options()) {
    QStringList names;
    for (const QString &n : o.Names)
      names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
    text += QStringLiteral("  %1%2\n").arg(names.join(QStringLiteral(", ")).leftJustified(22), QString::fromUtf8(o.Text));
  }
  text += QStringLiteral("\nEinstellungen: WEXO_DATABASE (Datenbank), WEXO_TERMINAL_ID (Arbeitsplatz), WEXO_ERROR_LOG\n"
                         "(Fehlerprotokoll), WEXO_DIALOGS=auto (Dialoge kehren sofort zurück).\n"
                         "Bei einem fehlgeschlagenen Direktstart endet das Programm mit dem Rückgabewert 1.\n");
  return text;
}

bool Parse(QCommandLineParser &parser, const QStringList &arguments) {
  for (const TOption &o : Options())
    parser.addOption(QCommandLineOption(o.Names, QString::fromUtf8(o.Text)));
  return parser.parse(arguments);
}
} // namespace

TWexoCommandLine WexoAnswerWithoutWindow(const QStringList &arguments) {
  QCommandLineParser parser;
  Parse(parser, arguments);
  TWexoCommandLine answer;
  if (parser.isSet(QStringLiteral("help"))) {
    answer = {false, 0, HelpText()};
  } else if (parser.isSet(QStringLiteral("version"))) {
    answer = {false, 0, QStringLiteral("wexo (Artikelverwaltung) %1\n").arg(QStringLiteral(WEXO_VERSION))};
  }
  return answer;
}

TWexoCommandLine WexoCheckCommandLine(const QStringList &arguments) {
  QCommandLineParser parser;
  const bool known = Parse(parser, arguments);
  QString wrong;
  if (!known && !parser.unknownOptionNames().isEmpty()) {
    const QString name = parser.unknownOptionNames().first();
    wrong = QStringLiteral("Unbekannte Option „%1%2“.").arg(name.size() == 1 ? "-" : "--", name);
  } else if (!known) {
    wrong = QStringLiteral("Die Befehlszeile ist nicht lesbar: %1.").arg(parser.errorText());
  } else if (!parser.positionalArguments().isEmpty()) {
    wrong = QStringLiteral("Unerwartetes Argument „%1“.").arg(parser.positionalArguments().first());
  }
  if (wrong.isEmpty())
    return WexoAnswerWithoutWindow(arguments);
  return {false, 2, wrong + QStringLiteral(" „wexo --help“ zeigt die Optionen.\n")};
}
