#include "framework/qvnframework.h"
#include "framework/qvnmessage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace {
// Characters that would break a line of the log, or hide in a name and change
// how a line displays: controls, line breaks and invisible format characters
// (a right-to-left override, a zero-width space, a soft hyphen).
bool IsControl(QChar c) {
  return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
         c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

constexpr int kMaxTerminalIDLength = 64;

struct TTerminalID {
  QString Id;
  QString Problem;
  bool FromEnv = false;
};

// The one way a workstation name is read: trimmed and composed (NFC), so names
// that look the same key the same settings; a blank name falls back to the host name.
TTerminalID ReadTerminalID() {
  TTerminalID result;
  const QByteArray raw = qgetenv("WEXO_TERMINAL_ID");
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString name = utf8(raw);
  if (utf8.hasError()) {
    result.Id = name;
    result.FromEnv = true;
    result.Problem = QStringLiteral("sie ist kein gültiger UTF-8-Text");
    return result;
  }
  name = name.trimmed();
  result.FromEnv = !name.isEmpty();
  if (name.isEmpty())
    name = QSysInfo::machineHostName().trimmed();
  if (name.isEmpty())
    name = QStringLiteral("LOCAL");
  result.Id = name.normalized(QString::NormalizationForm_C);
  result.Problem = QVNTerminalIDProblem(result.Id);
  return result;
}
} // namespace

QString QVNInfoTerminalID() { return ReadTerminalID().Id; }

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
// it must be short, visible and free of path and wildcard characters.
QString QVNTerminalIDProblem(const QString &id) {
  if (id.toUcs4().size() > kMaxTerminalIDLength)
    return QStringLiteral("sie ist länger als 64 Zeichen");
  for (QChar c : id)
    if (IsControl(c))
      return QStringLiteral("sie enthält Steuerzeichen oder unsichtbare Formatzeichen (etwa einen Tabulator, "
                            "einen Zeilenumbruch oder eine Richtungsumkehr)");
  for (qsizetype i = 0; i < id.size(); ++i) {
    const QChar c = id.at(i);
    // Inner blanks only, and only the ordinary one: other spaces look the same and key other settings.
    if (c.isSpace() && c != QLatin1Char(' '))
      return QStringLiteral("sie enthält ein anderes Leerzeichen als das gewöhnliche");
    if (c.isSurrogate() && !(c.isHighSurrogate() && i + 1 < id.size() && id.at(i + 1).isLowSurrogate()) &&
        !(c.isLowSurrogate() && i > 0 && id.at(i - 1).isHighSurrogate()))
      return QStringLiteral("sie ist kein gültiger Unicode-Text");
    if (c.category() == QChar::Other_NotAssigned || c.category() == QChar::Other_PrivateUse)
      return QStringLiteral("sie enthält nicht vergebene oder private Zeichen");
  }
  if (id != id.trimmed())
    return QStringLiteral("sie beginnt oder endet mit einem Leerzeichen");
  for (const char *forbidden : {"/", "\\", "*"})
    if (id.contains(QLatin1String(forbidden)))
      return QStringLiteral("sie enthält das Zeichen „%1“").arg(QLatin1String(forbidden));
  if (id == QLatin1String(".") || id == QLatin1String(".."))
    return QStringLiteral("sie besteht nur aus „%1“").arg(id);
  return {};
}

void QVNCheckTerminalID() {
  const TTerminalID id = ReadTerminalID();
  if (id.Problem.isEmpty())
    return;
  throw EQVNError(QStringLiteral("wexo"),
                  QStringLiteral("Die Arbeitsplatzkennung „%1“ (%2) ist ungültig: %3. Erlaubt sind höchstens 64 "
                                 "sichtbare Zeichen ohne „/“, „\\“ und „*“.")
                      .arg(QVNEscapeLogField(id.Id.left(80)),
                           id.FromEnv ? QStringLiteral("WEXO_TERMINAL_ID") : QStringLiteral("Rechnername"),
                           id.Problem));
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

// The log is a regular file, opened without waiting: a FIFO without a reader,
// a device or a folder named as the log is said once and left alone. Above
// the limit the log starts anew, keeping one older generation beside it.
void TQVNInfo::WriteLog(const QString &where, const QString &message) {
  const QString path = ErrorLogPath();
  QDir().mkpath(QFileInfo(path).absolutePath());
  const QByteArray line = (QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + QLatin1Char('\t') +
                           QVNEscapeLogField(QVNInfoTerminalID()) + QLatin1Char('\t') + QVNEscapeLogField(where) +
                           QLatin1Char('\t') + QVNEscapeLogField(message) + QLatin1Char('\n'))
                              .toUtf8();
  const QByteArray native = QFile::encodeName(path);
  auto refuse = [&](const QString &why) {
    if (FLogRefused.contains(path))
      return;
    FLogRefused.insert(path);
    std::fprintf(stderr, "Artikelverwaltung: Das Fehlerprotokoll „%s“ wird nicht geschrieben: %s.\n",
                 path.toLocal8Bit().constData(), why.toLocal8Bit().constData());
  };
  struct stat st {};
  if (::lstat(native.constData(), &st) == 0) {
    if (!S_ISREG(st.st_mode))
      return refuse(QStringLiteral("es ist keine gewöhnliche Datei"));
    if (st.st_size + line.size() > MaxLogBytes) {
      const QByteArray older = QFile::encodeName(path + QStringLiteral(".1"));
      ::rename(native.constData(), older.constData());
    }
  }
  const int fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0)
    return refuse(QString::fromLocal8Bit(std::strerror(errno)));
  // Checked again on the open file: the name may have changed meanwhile.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return refuse(QStringLiteral("es ist keine gewöhnliche Datei"));
  }
  // One write of the whole line: lines of two programs never interleave.
  [[maybe_unused]] const ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
  ::close(fd);
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
  // The place is in the log; the user reads the reason only.
  const QString message = FPendingMessage;
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
  const TTerminalID terminal = ReadTerminalID();
  const QString &id = terminal.Id;
  if (!terminal.Problem.isEmpty())
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
