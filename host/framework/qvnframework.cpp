#include "framework/qvnframework.h"
#include "framework/qvnmessage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>

namespace {
TWexoGeneralOptionsRec gOptions;
}

TQVNProgramm *QVNProgramm() {
  static TQVNProgramm instance;
  return &instance;
}

TQVNInfo *QVNInfo() {
  static TQVNInfo instance;
  return &instance;
}

TParameter *QVNParameter() {
  static TParameter instance;
  return &instance;
}

bool QVNAutoDialogs() { return qEnvironmentVariable("WEXO_DIALOGS") == QLatin1String("auto"); }

QString QVNInfoTerminalID() {
  const QString fromEnv = qEnvironmentVariable("WEXO_TERMINAL_ID").trimmed();
  if (!fromEnv.isEmpty())
    return fromEnv;
  const QString host = QSysInfo::machineHostName();
  return host.isEmpty() ? QStringLiteral("LOCAL") : host;
}

namespace {
// Characters that would break a line of the log or hide in a name.
bool IsControl(QChar c) {
  return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}
} // namespace

QString QVNEscapeLogField(const QString &text) {
  QString out;
  out.reserve(text.size());
  for (QChar c : text) {
    switch (c.unicode()) {
    case '\\': out += QLatin1String("\\\\"); break;
    case '\t': out += QLatin1String("\\t"); break;
    case '\n': out += QLatin1String("\\n"); break;
    case '\r': out += QLatin1String("\\r"); break;
    default:
      if (IsControl(c))
        out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
      else
        out += c;
    }
  }
  return out;
}

// The name keys settings in the database, a file name and lines of the log:
// it must be short, printable and free of path and wildcard characters.
QString QVNTerminalIDProblem(const QString &id) {
  if (id.size() > 64)
    return QStringLiteral("sie ist länger als 64 Zeichen");
  for (QChar c : id)
    if (IsControl(c))
      return QStringLiteral("sie enthält Steuerzeichen (etwa einen Tabulator oder Zeilenumbruch)");
  for (const char *forbidden : {"/", "\\", "*"})
    if (id.contains(QLatin1String(forbidden)))
      return QStringLiteral("sie enthält das Zeichen „%1“").arg(QLatin1String(forbidden));
  if (id == QLatin1String(".") || id == QLatin1String(".."))
    return QStringLiteral("sie besteht nur aus „%1“").arg(id);
  return {};
}

void QVNCheckTerminalID() {
  const QString id = QVNInfoTerminalID();
  const QString problem = QVNTerminalIDProblem(id);
  if (problem.isEmpty())
    return;
  const bool fromEnv = !qEnvironmentVariable("WEXO_TERMINAL_ID").trimmed().isEmpty();
  throw EQVNError(QStringLiteral("wexo"),
                  QStringLiteral("Die Arbeitsplatzkennung „%1“ (%2) ist ungültig: %3. Erlaubt sind höchstens 64 "
                                 "druckbare Zeichen ohne „/“, „\\“ und „*“.")
                      .arg(QVNEscapeLogField(id.left(80)),
                           fromEnv ? QStringLiteral("WEXO_TERMINAL_ID") : QStringLiteral("Rechnername"), problem));
}

void TQVNProgramm::Init(const QString &name, TEnumProzessTypen, TPVR_InstanceCount, int, bool) {
  ProgrammName = name;
  FInitialized = true;
  QCoreApplication::setApplicationName(name.toLower());
  QCoreApplication::setOrganizationName(QStringLiteral("wexo"));
}

void TQVNProgramm::SetTitle(const QString &title) { FTitle = title; }

// The window sets its own caption; the framework keeps the program title as it was.
void TQVNProgramm::RestoreTitle() {}

void TQVNProgramm::SetAktMandant(const TIntPair &mandant, const QString &text, int filiale) {
  FMandant = mandant;
  FMandantText = mandant.Defined() ? text : QString();
  FFiliale = mandant.Defined() ? filiale : 0;
}

void TQVNProgramm::ShowException(const std::exception &e, bool) {
  const QString message = QString::fromUtf8(e.what());
  ++ExceptionsShown;
  QVNInfo()->WriteLog(QStringLiteral("ShowException"), message);
  QVNMessages()->Show(FTitle.isEmpty() ? QStringLiteral("Artikelverwaltung") : FTitle,
                      QStringLiteral("Es ist ein Fehler aufgetreten:\n\n%1").arg(message));
}

QString TQVNInfo::ErrorLogPath() {
  const QString fromEnv = qEnvironmentVariable("WEXO_ERROR_LOG");
  if (!fromEnv.isEmpty())
    return fromEnv;
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  return dir + QStringLiteral("/errors.log");
}

void TQVNInfo::WriteLog(const QString &where, const QString &message) {
  const QString path = ErrorLogPath();
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::Append | QIODevice::Text))
    return; // an unwritable log must not take the program down
  // One line per error, four fields: tabs and line breaks inside a field are escaped.
  QTextStream out(&file);
  out << QDateTime::currentDateTime().toString(Qt::ISODateWithMs) << '\t' << QVNEscapeLogField(QVNInfoTerminalID())
      << '\t' << QVNEscapeLogField(where) << '\t' << QVNEscapeLogField(message) << '\n';
}

void TQVNInfo::RegisterException(const QString &where, const std::exception &e, bool) {
  FPendingWhere = where;
  FPendingMessage = QString::fromUtf8(e.what());
  FHistory << where;
  WriteLog(where, FPendingMessage);
}

void TQVNInfo::FehlerRaise(const QString &where, int, const QString &, const QString &, int, int) {
  if (!HasPendingError())
    return;
  const QString message = QStringLiteral("%1 (in %2)").arg(FPendingMessage, FPendingWhere);
  FPendingWhere.clear();
  FPendingMessage.clear();
  throw EQVNError(where, message);
}

void TQVNInfo::FehlerTerminate(const QString &, int, const QString &, const QString &, int, int) {
  FPendingWhere.clear();
  FPendingMessage.clear();
}

void TQVNInfo::ResetErrorSpezNoWrite(int, const QString &, const QString &, int, int) {
  FPendingWhere.clear();
  FPendingMessage.clear();
}

bool TParameter::GetBooleanValueByName(const QString &name) const {
  const QString v = FValues.value(name).trimmed().toUpper();
  return v == "J" || v == "JA" || v == "1" || v == "TRUE" || v == "T" || v == "Y";
}

QChar TParameter::GetCharValueByName(const QString &name) const {
  const QString v = FValues.value(name);
  return v.isEmpty() ? QChar(' ') : v.at(0);
}

TQVNForm::TQVNForm(QWidget *parent) : QWidget(parent) {
  // The forms are designed in "MS Sans Serif"; here it is one of the usual sans fonts.
  static const bool substituted = [] {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    return true;
  }();
  Q_UNUSED(substituted);
}

void TQVNForm::closeEvent(QCloseEvent *e) {
  if (!CloseQuery()) {
    e->ignore();
    return;
  }
  FClosed = true;
  Q_EMIT Closing();
  e->accept();
}

void TQVNForm::QVNFormInit(const QString &identity, bool) { FFormIdentity = identity; }

TWexoGeneralOptionsRec TWexoGeneralOptions::GetOptions() { return gOptions; }
void TWexoGeneralOptions::SetOptions(const TWexoGeneralOptionsRec &options) { gOptions = options; }

TSimpleMask::TSimpleMask(const QString &programm, const QString &maske, const QString &, bool, bool, QObject *,
                         const QString &, const QString &)
    : FGroup(programm + QLatin1Char('_') + maske) {}

// Built from a checked name only: a name with a path in it never leaves the folder.
QString TSimpleMask::LocalIniPath() {
  const QString id = QVNInfoTerminalID();
  if (!QVNTerminalIDProblem(id).isEmpty())
    throw std::runtime_error("Die Arbeitsplatzkennung ist ungültig; lokale Einstellungen werden nicht gelesen.");
  const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  return dir + QStringLiteral("/local-") + id + QStringLiteral(".ini");
}

int TSimpleMask::ReadLocalDef(const QString &name, int defaultValue) const {
  QSettings ini(LocalIniPath(), QSettings::IniFormat);
  bool ok = false;
  const int v = ini.value(FGroup + QLatin1Char('/') + name).toInt(&ok);
  return ok ? v : defaultValue;
}

void TSimpleMask::WriteLocalDef(const QString &name, int value) {
  QSettings ini(LocalIniPath(), QSettings::IniFormat);
  ini.setValue(FGroup + QLatin1Char('/') + name, value);
}

QString BoolToJaNein(bool value) { return value ? QStringLiteral("Ja") : QStringLiteral("Nein"); }

QDateTime qvn_Now() { return QDateTime::currentDateTime(); }

TQuerfakturaAktiv QuerfakturaAktiv4Char(QChar c) {
  switch (c.toUpper().unicode()) {
  case 'E': return qfNurEmpfang;
  case 'S': return qfSenden;
  case 'J':
  case 'V': return qfVoll;
  default: return qfInaktiv;
  }
}
