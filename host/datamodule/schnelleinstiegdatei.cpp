#include "datamodule/schnelleinstiegdatei.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {
const char *kFormat = "wexo-schnelleinstiege";
constexpr int kVersion = 1;
} // namespace

QByteArray SchnellEinstiegDateiInhalt(const TContexte &entries) {
  QJsonArray list;
  for (const TContextSatz &e : entries)
    list.append(QJsonObject{{"name", e.Name}, {"operation", e.Operation}, {"arguments", e.Arguments}});
  const QJsonObject root{{"format", kFormat}, {"version", kVersion}, {"entries", list}};
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool ParseSchnellEinstiegDatei(const QByteArray &data, TContexte &entries, QString &error) {
  entries.clear();
  auto fail = [&](const QString &message) {
    entries.clear();
    error = message;
    return false;
  };
  if (data.size() > kSchnellEinstiegDateiMaxBytes)
    return fail(QStringLiteral("Die Datei ist zu groß (höchstens %1 KB).").arg(kSchnellEinstiegDateiMaxBytes / 1024));
  QJsonParseError parseError;
  const QJsonDocument doc = QJsonDocument::fromJson(data, &parseError);
  if (parseError.error != QJsonParseError::NoError || !doc.isObject())
    return fail(QStringLiteral("Die Datei ist keine Schnelleinstieg-Datei (kein gültiges JSON)."));
  const QJsonObject root = doc.object();
  if (root.value("format").toString() != QLatin1String(kFormat))
    return fail(QStringLiteral("Die Datei ist keine Schnelleinstieg-Datei (Formatangabe fehlt oder ist falsch)."));
  const QJsonValue version = root.value("version");
  if (!version.isDouble() || version.toDouble() != kVersion)
    return fail(QStringLiteral("Die Version der Datei wird nicht unterstützt (erwartet: %1).").arg(kVersion));
  const QJsonValue list = root.value("entries");
  if (!list.isArray())
    return fail(QStringLiteral("Die Datei enthält keine Liste von Schnelleinstiegen."));
  const QJsonArray array = list.toArray();
  if (array.isEmpty())
    return fail(QStringLiteral("Die Datei enthält keinen Schnelleinstieg."));
  if (array.size() > kSchnellEinstiegDateiMaxEntries)
    return fail(QStringLiteral("Die Datei enthält zu viele Schnelleinstiege (höchstens %1).")
                    .arg(kSchnellEinstiegDateiMaxEntries));
  TContexte parsed;
  for (qsizetype i = 0; i < array.size(); ++i) {
    const QString where = QStringLiteral("Eintrag %1: ").arg(i + 1);
    if (!array.at(i).isObject())
      return fail(where + QStringLiteral("ist kein Objekt."));
    const QJsonObject o = array.at(i).toObject();
    const QJsonValue name = o.value("name"), operation = o.value("operation"), arguments = o.value("arguments");
    if (!name.isString() || !operation.isString() || !arguments.isString())
      return fail(where + QStringLiteral("„name“, „operation“ und „arguments“ müssen Texte sein."));
    const QString n = name.toString().trimmed();
    if (n.isEmpty() || n.size() > kSchnellEinstiegNameMaxLength)
      return fail(where + QStringLiteral("der Name ist leer oder länger als %1 Zeichen.").arg(kSchnellEinstiegNameMaxLength));
    for (QChar c : n)
      if (c.category() == QChar::Other_Control)
        return fail(where + QStringLiteral("der Name enthält Steuerzeichen."));
    if (!FindSchnellEinstiegZiel(operation.toString(), arguments.toString()))
      return fail(where + QStringLiteral("das Ziel „%1“ ist unbekannt.").arg(operation.toString().left(80)));
    parsed.append(TContextSatz{0, n, operation.toString(), arguments.toString()});
  }
  entries = parsed;
  return true;
}

bool ReadSchnellEinstiegDatei(const QString &path, TContexte &entries, QString &error) {
  entries.clear();
  if (!QFileInfo(path).isFile()) {
    error = QStringLiteral("„%1“ ist keine gewöhnliche Datei und wird nicht geöffnet.").arg(path);
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2").arg(path, file.errorString());
    return false;
  }
  if (file.size() > kSchnellEinstiegDateiMaxBytes) {
    error = QStringLiteral("Die Datei ist zu groß (höchstens %1 KB).").arg(kSchnellEinstiegDateiMaxBytes / 1024);
    return false;
  }
  return ParseSchnellEinstiegDatei(file.read(kSchnellEinstiegDateiMaxBytes + 1), entries, error);
}

QString SchnellEinstiegDateiName(const QString &name) {
  QString safe;
  for (QChar c : name.trimmed())
    safe += (c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c)) ? QLatin1Char('_') : c;
  // No hidden file, no trailing dot or blank (refused by some systems), no overlong name.
  while (safe.startsWith(QLatin1Char('.')) || safe.startsWith(QLatin1Char(' ')))
    safe.remove(0, 1);
  safe = safe.left(100);
  while (safe.endsWith(QLatin1Char('.')) || safe.endsWith(QLatin1Char(' ')))
    safe.chop(1);
  if (safe.isEmpty())
    safe = QStringLiteral("Schnelleinstieg");
  return safe + QStringLiteral(".json");
}

bool WriteSchnellEinstiegDatei(const QString &path, const TContexte &entries, QString &error) {
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) {
    error = QStringLiteral("„%1“ ist keine gewöhnliche Datei und wird nicht überschrieben.").arg(path);
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = QStringLiteral("Die Datei „%1“ kann nicht geschrieben werden: %2").arg(path, file.errorString());
    return false;
  }
  file.write(SchnellEinstiegDateiInhalt(entries));
  if (!file.commit()) {
    error = QStringLiteral("Die Datei „%1“ konnte nicht gespeichert werden: %2").arg(path, file.errorString());
    return false;
  }
  return true;
}
