#include "datamodule/wexodmu.h"
#include "datamodule/schnelleinstiegdatei.h"
#include "datamodule/wexodialogs.h"
#include "storage/wexostore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include <QHash>
#include <optional>
#include <stdexcept>

#include "framework/qvnmessage.h"

Twexodm *wexodm = nullptr;

QString BoolText(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }

namespace {
QString PairText(const TIntPair &p) { return QStringLiteral("%1:%2").arg(p.Key1).arg(p.Key2); }

const TWexoStore *Require(const TWexoStore *store) {
  if (!store)
    throw std::runtime_error("Keine Datenbank geöffnet.");
  return store;
}

bool ParseBool(const QString &s) {
  if (s == QLatin1String("true"))
    return true;
  if (s == QLatin1String("false"))
    return false;
  throw std::invalid_argument(QStringLiteral("„%1“ ist kein Wahrheitswert.").arg(s).toStdString());
}

int ParseInt(const QString &s, int lo, int hi) {
  bool ok = false;
  const int v = s.toInt(&ok);
  if (!ok || v < lo || v > hi)
    throw std::invalid_argument(QStringLiteral("„%1“ ist kein gültiger Wert.").arg(s).toStdString());
  return v;
}

using Runner = std::function<void(Twexodm *, const QStringList &)>;
// One record per operation of the data module: the German title of its
// dialog and, for the dialogs the window or a quick entry opens, how it runs
// from the arguments it journals ("false,true"), so that what a caller names
// and what the journal then holds cannot differ.
struct TOperationRecord {
  QString Title;
  Runner Run;
};
const QHash<QString, TOperationRecord> &Operations() {
  static const QHash<QString, TOperationRecord> operations = {
      {"SBArtikelBekannt", {"Vorgangsvorlage - Artikelnummer bekannt", [](Twexodm *d, const QStringList &) { d->SBArtikelBekannt(); }}},
      {"SB_LoH_Bekannt", {"Vorgangsvorlage - Lieferant oder Hersteller bekannt", [](Twexodm *d, const QStringList &a) { d->SB_LoH_Bekannt(ParseBool(a.value(0)), ParseBool(a.value(1))); }}},
      {"SBVorlagenListe", {"Vorgangsvorlagen bearbeiten / löschen", [](Twexodm *d, const QStringList &) { d->SBVorlagenListe(); }}},
      {"SBUebersicht", {"Vorgangsvorlagen in Disposition überführen", [](Twexodm *d, const QStringList &) { d->SBUebersicht(); }}},
      {"StammNachLieferant", {"Stammdaten nach Lieferant", [](Twexodm *d, const QStringList &a) { d->StammNachLieferant(TKatArtCloseAction(ParseInt(a.value(0), 1, 3))); }}},
      {"StammSuchen", {"Stammdaten suchen", [](Twexodm *d, const QStringList &a) { d->StammSuchen(TKatArtCloseAction(ParseInt(a.value(0), 1, 3))); }}},
      {"DIArtikelBekannt", {"Disposition - Artikelnummer bekannt", [](Twexodm *d, const QStringList &) { d->DIArtikelBekannt(); }}},
      {"DIHerstellerBekannt", {"Disposition - Hersteller bekannt", [](Twexodm *d, const QStringList &a) { d->DIHerstellerBekannt(ParseBool(a.value(0))); }}},
      {"DILieferantBekannt", {"Disposition - Lieferant bekannt", [](Twexodm *d, const QStringList &a) { d->DILieferantBekannt(ParseBool(a.value(0))); }}},
      {"DIUebersicht", {"Dispositionen über Liste erfassen", [](Twexodm *d, const QStringList &) { d->DIUebersicht(); }}},
      {"DIDispositionenliste", {"Liste offener Dispositionen", [](Twexodm *d, const QStringList &a) { d->DIDispositionenliste(ParseBool(a.value(0))); }}},
      {"DIAuftrNrBekannt", {"Dispo-Auftragsnr. bekannt", [](Twexodm *d, const QStringList &) { d->DIAuftrNrBekannt(); }}},
      {"ORDERUebersicht", {"Elektronische Bestellungen", [](Twexodm *d, const QStringList &) { d->ORDERUebersicht(); }}},
      {"WAArtikelBekannt", {"Warenannahme - Artikel bekannt", [](Twexodm *d, const QStringList &) { d->WAArtikelBekannt(); }}},
      {"WAHerstellerBekannt", {"Warenannahme - Hersteller bekannt", [](Twexodm *d, const QStringList &) { d->WAHerstellerBekannt(); }}},
      {"WAUebersicht", {"Warenannahme aus Artikelübersicht", [](Twexodm *d, const QStringList &) { d->WAUebersicht(); }}},
      {"WAListe", {"Liste Warenannahmen", [](Twexodm *d, const QStringList &) { d->WAListe(); }}},
      {"WAAuftrNrBekannt", {"Warenannahme - Auftragsnummer bekannt", [](Twexodm *d, const QStringList &) { d->WAAuftrNrBekannt(); }}},
      {"WTArtikelBekannt", {"Warenauszeichnung - Artikel bekannt", [](Twexodm *d, const QStringList &) { d->WTArtikelBekannt(); }}},
      {"WTHerstellerBekannt", {"Warenauszeichnung - Hersteller bekannt", [](Twexodm *d, const QStringList &) { d->WTHerstellerBekannt(); }}},
      {"WTUebersicht", {"Warenauszeichnung aus Artikelübersicht", [](Twexodm *d, const QStringList &) { d->WTUebersicht(); }}},
      {"WTListe", {"Liste Warenauszeichnungen", [](Twexodm *d, const QStringList &) { d->WTListe(); }}},
      {"WTVorgIdBekannt", {"Warenauszeichnung über Barcode", [](Twexodm *d, const QStringList &) { d->WTVorgIdBekannt(); }}},
      {"WEArtikelBekannt", {"Wareneingang - Artikelnummer bekannt", [](Twexodm *d, const QStringList &a) { d->WEArtikelBekannt(ParseBool(a.value(0))); }}},
      {"WEVorgIdBekannt", {"Wareneingangskorrektur - Vorgangs ID bekannt", [](Twexodm *d, const QStringList &) { d->WEVorgIdBekannt(); }}},
      {"WEHerstellerBekannt", {"Wareneingang - Hersteller bekannt", [](Twexodm *d, const QStringList &a) { d->WEHerstellerBekannt(ParseBool(a.value(0))); }}},
      {"WEAuftragsNrBekannt", {"Wareneingang - Auftragsnummer bekannt", [](Twexodm *d, const QStringList &) { d->WEAuftragsNrBekannt(); }}},
      {"WELieferantBekannt", {"Wareneingang - Lieferant bekannt", [](Twexodm *d, const QStringList &a) { d->WELieferantBekannt(ParseBool(a.value(0))); }}},
      {"WEUebersicht", {"Wareneingang aus offener Disposition", [](Twexodm *d, const QStringList &) { d->WEUebersicht(); }}},
      {"WEListe", {"Liste Wareneingänge", [](Twexodm *d, const QStringList &) { d->WEListe(); }}},
      {"LieferungUebersicht", {"Warenannahme / DESADV Übersicht", [](Twexodm *d, const QStringList &a) { d->LieferungUebersicht({}, ParseBool(a.value(1))); }}},
      {"ArtinfoUebersicht", {"Artikelübersicht und Einzelanzeige", [](Twexodm *d, const QStringList &) { d->ArtinfoUebersicht(); }}},
      {"ArtinfoArtikelBekannt", {"Artikelinformation - Artikelnummer bekannt", [](Twexodm *d, const QStringList &) { d->ArtinfoArtikelBekannt(); }}},
      {"ArtinfoAllgBewListe", {"Allgemeine Bewegungsliste", [](Twexodm *d, const QStringList &) { d->ArtinfoAllgBewListe(); }}},
      {"ArtinfoInventurzaehlung", {"Inventurzählung", [](Twexodm *d, const QStringList &) { d->ArtinfoInventurzaehlung(); }}},
      {"ArtinfoKata2Wexo", {"Katalogdatenübernahme", [](Twexodm *d, const QStringList &) { d->ArtinfoKata2Wexo(); }}},
      {"ArtinfoSSC2Wexo", {"SSC-Datenübernahme", [](Twexodm *d, const QStringList &) { d->ArtinfoSSC2Wexo(); }}},
      {"ArtinfoBez_Herst_ArtNr", {"Schnellsuche (u.a. GTIN)", [](Twexodm *d, const QStringList &) { d->ArtinfoBez_Herst_ArtNr(); }}},
      {"FAEinzelRM", {"Filialaustausch einzeln rückmelden", [](Twexodm *d, const QStringList &) { d->FAEinzelRM(); }}},
      {"FAArtikelBekannt", {"Rückmeldung mit Barcode bekannt", [](Twexodm *d, const QStringList &) { d->FAArtikelBekannt(); }}},
      {"FAListeCreate", {"Filialaustauschlisten erstellen", [](Twexodm *d, const QStringList &) { d->FAListeCreate(); }}},
      {"Stat_SavedSelections", {"Gespeicherte Auswertungen", [](Twexodm *d, const QStringList &) { d->Stat_SavedSelections(); }}},
      {"Stat_EVA", {"Erweiterte Vergleichs-Analyse", [](Twexodm *d, const QStringList &) { d->Stat_EVA(); }}},
      {"Rechnungskontrolle", {"Rechnung erfassen", [](Twexodm *d, const QStringList &) { d->Rechnungskontrolle(); }}},
      {"RechnungBearbeiten", {"Rechnung anzeigen / bearbeiten", [](Twexodm *d, const QStringList &) { d->RechnungBearbeiten(); }}},
      {"Gutschriftsanforderung", {"Gutschriftsanforderung erfassen", [](Twexodm *d, const QStringList &) { d->Gutschriftsanforderung(CLeeresIntPair, CLeeresIntPair, false, false); }}},
      {"GutschriftsanforderungBearbeiten", {"Gutschriftsanforderung anzeigen / bearbeiten", [](Twexodm *d, const QStringList &) { d->GutschriftsanforderungBearbeiten(); }}},
      {"Gutschriftskontrolle", {"Gutschrift erfassen", [](Twexodm *d, const QStringList &) { d->Gutschriftskontrolle(); }}},
      {"Belastungsanzeige", {"Belastungsanzeige erfassen", [](Twexodm *d, const QStringList &) { d->Belastungsanzeige(); }}},
      {"GutschriftBearbeiten", {"Gutschrift / Belastungsanzeige anzeigen / bearbeiten", [](Twexodm *d, const QStringList &) { d->GutschriftBearbeiten(); }}},
      {"EWABearbeiten", {"Warenannahmebelege anzeigen / bearbeiten", [](Twexodm *d, const QStringList &) { d->EWABearbeiten(); }}},
      {"BelegUeberDokumentenNr", {"Beleg über Dokumenten-Nr. suchen", [](Twexodm *d, const QStringList &) { d->BelegUeberDokumentenNr(); }}},
      {"QuerfakturaNachdrucken", {"Querfaktura-Belege nachdrucken", [](Twexodm *d, const QStringList &) { d->QuerfakturaNachdrucken(); }}},
      {"ZeitRaumAbfrage", {"Zeiträume", [](Twexodm *d, const QStringList &a) { d->ZeitRaumAbfrage(ParseBool(a.value(0))); }}},
      {"GeneralOptions", {"Allgemeine Einstellungen", [](Twexodm *d, const QStringList &) { d->GeneralOptions(); }}},
      {"LayoutCopy", {"Einstellungen kopieren", [](Twexodm *d, const QStringList &) { d->LayoutCopy(); }}},
      {"Import_Maskeneinstellungen", {"Themenimport", [](Twexodm *d, const QStringList &) { d->Import_Maskeneinstellungen(); }}},
      {"WaehrungenWaehlen", {"Währungen", [](Twexodm *d, const QStringList &) { d->WaehrungenWaehlen(); }}},
      {"RechnungBearbeitenDirekt", {"Rechnung bearbeiten", nullptr}},
      {"GutschriftBearbeitenDirekt", {"Gutschrift bearbeiten", nullptr}},
      {"SchnellSucheAusfuehren", {"Schnellsuche", nullptr}},
      {"WiedervorlagenUebersicht", {"Wiedervorlagen", nullptr}},
      {"BedarfeUebersicht", {"Offene Bedarfe", nullptr}},
      {"Exportfehler", {"Exportfehler", nullptr}},
      {"RechnungsKontrolleInvoice", {"Elektronische Rechnungen", nullptr}},
      {"UnvollstaendigeBelege", {"Unvollständige Belege", nullptr}},
      {"QuerfakturaUebersicht", {"Querfaktura", nullptr}},
      {"OffeneWarenverteilungenUebersicht", {"Offene Warenverteilungen", nullptr}},
      {"ErfolgteWarenverteilungenUebersicht", {"Erfolgte Warenverteilungen", nullptr}},
      {"MandantEinstellen", {"Mandant einstellen", [](Twexodm *d, const QStringList &) { d->MandantEinstellen(); }}},
      {"OptionenSichtbareMenuepunkte", {"Sichtbare Menüpunkte", nullptr}},
  };
  return operations;
}

} // namespace

Twexodm::Twexodm(TWexoStore *store, bool ownsStore, QObject *parent, bool batchTheStart)
    : QObject(parent), FStore(store), FOwnedStore(ownsStore ? store : nullptr) {
  setObjectName(QStringLiteral("wexodm"));
  FVisiDlg = std::make_unique<TwexooptvisiDlg>(store);
  if (FStore) {
    TWexoStore::SetCurrent(FStore);
    // What the program's start reads (this module, then the window) comes in
    // one round trip; the batch ends once the window is shown, or at the latest
    // when control is back in the event loop.
    if (batchTheStart) {
      FStartBatch = std::make_unique<TWexoReadBatch>(FStore, wpAll);
      QTimer::singleShot(0, this, [this] { EndStartBatch(); });
    }
    TWexoConnection *connection = FStore->Connection();
    connect(connection, &TWexoConnection::OpenWorkChanged, this, &Twexodm::OpenWorkChanged);
    connect(connection, &TWexoConnection::OpenWorkPushed, this, &Twexodm::TakePushedOpenWork);
    SetUpOpenWorkChecks();
    connect(connection, &TWexoConnection::StateChanged, this, &Twexodm::StoreStateChanged);
    connect(connection, &TWexoConnection::Reconnected, this, &Twexodm::Reconnected);
    connect(connection, &TWexoConnection::DamageFound, this, &Twexodm::DamageFound);
    LoadParameters();
  }
  if (QCoreApplication::instance())
    ReadCommandLine(QCoreApplication::arguments());
}

Twexodm::~Twexodm() {
  FStartBatch.reset(); // before the store it reads from
  if (wexodm == this)
    wexodm = nullptr;
}

bool Twexodm::AutoDialogs() { return QVNAutoDialogs(); }

void Twexodm::ReadCommandLine(const QStringList &arguments) {
  for (const QString &a : arguments) {
    if (a == QLatin1String("--inventurzaehlung"))
      InventurZaehlungAnfordern = true;
    else if (a == QLatin1String("--rechnung"))
      DirektBearbeitenCode = 12;
    else if (a == QLatin1String("--gutschrift"))
      DirektBearbeitenCode = 16;
    else if (a == QLatin1String("--schnellsuche"))
      SchnellSucheAnfordern = true;
  }
}

void Twexodm::LoadParameters() {
  const TWexoSnapshot snapshot = FStore->Read(wpParameters | wpSettings);
  QVNParameter()->SetValues(snapshot.Parameters);
  TWexoGeneralOptionsRec options;
  options.HidePictures = snapshot.Settings.value(QStringLiteral("HidePictures")) == QLatin1String("1");
  TWexoGeneralOptions::SetOptions(options);
}

int Twexodm::WiedervorlagenDueAt(const QDateTime &when) { return Require(FStore)->OpenWorkAt(when).WdvoDue(); }

TWexoConnectionState Twexodm::StoreState() const {
  return FStore ? FStore->Connection()->State() : TWexoConnectionState();
}

QList<TWexoUsage> Twexodm::OperationUsage() {
  QList<TWexoUsage> usage;
  if (!FStore)
    return usage;
  const QString since = QDateTime::currentDateTime().addDays(-90).toString(Qt::ISODateWithMs);
  TWexoRows rows = FStore->Exec(QStringLiteral("SELECT operation, arguments, COUNT(*), MAX(id) FROM operation_journal "
                                               "WHERE terminal_id = ? AND at >= ? AND via = '' GROUP BY operation, "
                                               "arguments "
                                               "ORDER BY MAX(id) DESC"),
                                {QVNInfoTerminalID(), since});
  while (rows.next())
    usage.append({rows.value(0).toString(), rows.value(1).toString(), rows.value(2).toInt(),
                  rows.value(3).toLongLong()});
  return usage;
}

void Twexodm::Journal(const QString &name, const QString &arguments) {
  if (!FStore)
    return;
  const QString fault = FStore->JournalAndFault(QVNInfoTerminalID(), name, arguments, FOpenedVia);
  if (!fault.isEmpty())
    throw std::runtime_error(fault.toStdString());
}

void Twexodm::SetMenuPermissions(const QHash<QString, bool> &allowedByKey) {
  FMenuPermissions.clear();
  FRefusedDialogs.clear();
  for (auto it = allowedByKey.cbegin(); it != allowedByKey.cend(); ++it) {
    const QString operation = it.key().section(QLatin1Char('|'), 0, 0);
    FMenuPermissions[operation].insert(it.key().section(QLatin1Char('|'), 1), it.value());
    if (!it.value())
      FRefusedDialogs.insert(operation);
  }
}

bool Twexodm::IsOperationRefused(const QString &operation, const QString &arguments) const {
  // The direct starts open the dialogs of these menu entries.
  static const QHash<QString, QString> sameDialog = {{"RechnungBearbeitenDirekt", "RechnungBearbeiten"},
                                                     {"GutschriftBearbeitenDirekt", "GutschriftBearbeiten"}};
  if (FRefusedDialogs.isEmpty())
    return false;
  const QString dialog = sameDialog.value(operation, operation);
  if (!FRefusedDialogs.contains(dialog))
    return false;
  const auto forms = FMenuPermissions.constFind(dialog);
  const auto exact = forms->constFind(arguments);
  return exact == forms->cend() || !*exact;
}

void Twexodm::RefuseIfBarred(const QString &operation, const QString &arguments) const {
  if (IsOperationRefused(operation, arguments))
    throw std::runtime_error(QStringLiteral("Der Dialog „%1“ ist für diesen Arbeitsplatz gesperrt.")
                                 .arg(DialogTitle(operation))
                                 .toStdString());
}

// The journal row and the fault check travel together: one round trip before a dialog opens.
void Twexodm::Operation(const QString &name, const QString &arguments, const std::function<void()> &dialog) {
  RefuseIfBarred(name, arguments);
  Journal(name, arguments);
  if (dialog)
    dialog();
  else
    ShowStandInDialog(DialogTitle(name), arguments);
}

QString Twexodm::DialogTitle(const QString &operation) {
  const auto it = Operations().constFind(operation);
  return it == Operations().cend() ? operation : it->Title;
}

bool Twexodm::MandantEinstellen() {
  bool chosen = false;
  Operation(QStringLiteral("MandantEinstellen"), QString(), [&] {
    const TWexoStore *store = Require(FStore);
    const TWexoSnapshot snapshot = store->Read(wpSettings | wpClients);
    const int storedClient = snapshot.Settings.value(QStringLiteral("Mandant")).toInt();
    const int storedBranch = snapshot.Settings.value(QStringLiteral("Filiale")).toInt();
    auto clientName = [&](int id) {
      for (const auto &[clientId, name] : snapshot.Clients)
        if (clientId == id)
          return name;
      return QString();
    };
    int client = storedClient;
    int branch = storedBranch;
    if (client <= 0 || clientName(client).isNull())
      client = snapshot.Clients.isEmpty() ? 0 : snapshot.Clients.first().first;
    if (AutoDialogs()) {
      chosen = client > 0;
    } else {
      chosen = SelectClientDialog(store, client, branch);
    }
    if (!chosen || client <= 0) {
      chosen = false;
      return;
    }
    QString text = clientName(client);
    if (text.isNull())
      text = store->Scalar(QStringLiteral("SELECT name FROM clients WHERE id = ?"), {client}).toString();
    if (branch > 0) {
      QString branchName;
      for (const auto &[clientId, nr, name] : snapshot.Branches)
        if (clientId == client && nr == branch)
          branchName = name;
      text += QStringLiteral(" / %1").arg(branchName.isEmpty() ? QString::number(branch) : branchName);
    }
    QVNProgramm()->SetAktMandant(TIntPair{client, 0}, text, branch);
    // Written only when it changed, in one statement: a start on a slow link stays one round trip shorter.
    if ((client != storedClient || branch != storedBranch || !snapshot.Settings.contains(QStringLiteral("Mandant")) ||
         !snapshot.Settings.contains(QStringLiteral("Filiale"))) &&
        store->Connection()->Writable())
      store->Exec(QStringLiteral("INSERT INTO workstation_settings (terminal_id, name, value) VALUES (?, 'Mandant', ?), "
                                 "(?, 'Filiale', ?) ON CONFLICT (terminal_id, name) DO UPDATE SET value = excluded.value"),
                  {QVNInfoTerminalID(), QString::number(client), QVNInfoTerminalID(), QString::number(branch)});
  });
  return chosen;
}

bool Twexodm::ProgramExitAllowed() {
  const QString v = QVNParameter()->GetStringValueByName(QStringLiteral("EXITERLAUBT"));
  return v.isEmpty() || QVNParameter()->GetBooleanValueByName(QStringLiteral("EXITERLAUBT"));
}

// While the server is away, the settings read last stay in force.
void Twexodm::LoadEntreeMenueInfos(TWexoEntreeMenueInfos &infos) {
  infos.clear();
  if (!FStore)
    return;
  TWexoSnapshot snapshot;
  try {
    snapshot = FStore->Read(wpMenu | wpPermissions);
  } catch (const EWexoUnreachable &) {
    infos = FLastMenueInfos;
    return;
  }
  FVisiDlg->SetForbidden(snapshot.Forbidden);
  for (const TStoredMenuInfo &stored : snapshot.MenuInfos) {
    TWexoEntreeMenueInfo info = CQVN_LeereWexoEntreeMenueInfo;
    info.MenuCaption = stored.Caption;
    info.AreaText = stored.Area;
    info.Tag = stored.Tag;
    info.Visible = stored.Visible;
    TWexoEntreeMenueIHelper::AppendToEnd(info, infos);
  }
  FLastMenueInfos = infos;
}

bool Twexodm::OptionenSichtbareMenuepunkte(TWexoEntreeMenueInfos &infos) {
  bool accepted = false;
  Operation(QStringLiteral("OptionenSichtbareMenuepunkte"), QString::number(infos.size()), [&] {
    QSet<qint32> refused;
    for (TWexoEntreeMenueInfo &info : infos)
      if (!GetwexooptvisiDlg()->IsMenuePunktErlaubt(info))
        refused.insert(info.Tag);
    if (!AutoDialogs())
      accepted = VisibleMenuItemsDialog(infos, refused);
  });
  return accepted;
}

void Twexodm::SaveEntreeMenueInfos(const TWexoEntreeMenueInfos &infos) {
  const TWexoStore *store = Require(FStore);
  // One insert for all rows: a slow link pays for statements, not for rows.
  QStringList rows;
  QVariantList values;
  int position = 0;
  QSet<qint32> seen;
  for (const TWexoEntreeMenueInfo &info : infos) {
    if (seen.contains(info.Tag)) // the first of two equal tags decides
      continue;
    seen.insert(info.Tag);
    rows << QStringLiteral("(?, ?, ?, ?, ?, ?)");
    values << QVNInfoTerminalID() << info.Tag << position++ << info.MenuCaption << info.AreaText << (info.Visible ? 1 : 0);
  }
  store->Transaction([&] {
    store->Exec(QStringLiteral("DELETE FROM menu_infos WHERE terminal_id = ?"), {QVNInfoTerminalID()});
    if (!rows.isEmpty())
      store->Exec(QStringLiteral("INSERT INTO menu_infos (terminal_id, tag, position, caption, area, visible) VALUES ") +
                      rows.join(QStringLiteral(", ")),
                  values);
  });
}

TwexooptvisiDlg *Twexodm::GetwexooptvisiDlg() { return FVisiDlg.get(); }

void TwexooptvisiDlg::Reload() {
  FForbidden.clear();
  FLoaded = true;
  if (FStore)
    FForbidden = FStore->Read(wpPermissions).Forbidden;
}

void TwexooptvisiDlg::SetForbidden(const QSet<qint32> &forbidden) {
  FForbidden = forbidden;
  FLoaded = true;
}

bool TwexooptvisiDlg::IsMenuePunktErlaubt(TWexoEntreeMenueInfo &info) {
  if (!FLoaded)
    Reload();
  return !FForbidden.contains(info.Tag);
}

std::unique_ptr<TWiedervorlagen> Twexodm::GetWiedervorlagen() { return std::make_unique<TWiedervorlagen>(this); }
std::unique_ptr<IQVN_BedarfeListServer> Twexodm::GetBedarfeListServer() {
  return std::make_unique<IQVN_BedarfeListServer>(this);
}
std::unique_ptr<TQVN_LieferungMani> Twexodm::GetLieferungMani() { return std::make_unique<TQVN_LieferungMani>(this); }
std::unique_ptr<TZDQ_ExportFehler_Mani> Twexodm::GetEXFEMani() { return std::make_unique<TZDQ_ExportFehler_Mani>(this); }
std::unique_ptr<TZDQ_InVoic_Mani> Twexodm::GetInvoicMani() { return std::make_unique<TZDQ_InVoic_Mani>(this); }
std::unique_ptr<TUnvollMani> Twexodm::GetUnvollmani() { return std::make_unique<TUnvollMani>(this); }
std::unique_ptr<TZDQ_QuerfakturaMani> Twexodm::QuerfakturaMani_GoC() {
  return std::make_unique<TZDQ_QuerfakturaMani>(this);
}
int Twexodm::DiImSatzCount() { return CountOpenWork(this, QStringLiteral("DIIM")); }

// ---- quick entries ----

// While the server is away, the entries read last are shown.
void Twexodm::LoadSchnellEinstiege(TContexte &entries, bool) {
  entries.clear();
  if (!FStore)
    return;
  TWexoSnapshot snapshot;
  try {
    snapshot = FStore->Read(wpQuickEntries);
  } catch (const EWexoUnreachable &) {
    if (!FHaveSchnellEinstiege)
      throw;
    entries = FLastSchnellEinstiege;
    return;
  }
  entries.reserve(snapshot.QuickEntries.size());
  for (const TStoredQuickEntry &e : snapshot.QuickEntries)
    entries.append(TContextSatz{e.Id, e.Name, e.Operation, e.Arguments});
  FLastSchnellEinstiege = entries;
  FHaveSchnellEinstiege = true;
}

namespace {
void InsertEntry(const TWexoStore *store, const TContextSatz &e) {
  store->Exec(QStringLiteral("INSERT INTO quick_entries (position, name, operation, arguments) "
                             "SELECT COALESCE(MAX(position), -1) + 1, ?, ?, ? FROM quick_entries"),
              {e.Name, e.Operation, e.Arguments});
}

// The entry as it is stored now, or none.
std::optional<TContextSatz> StoredEntry(const TWexoStore *store, qint64 id) {
  TWexoRows rows =
      store->Exec(QStringLiteral("SELECT name, operation, arguments FROM quick_entries WHERE id = ?"), {id});
  if (!rows.next())
    return std::nullopt;
  return TContextSatz{id, rows.value(0).toString(), rows.value(1).toString(), rows.value(2).toString()};
}

bool SameEntry(const TContextSatz &a, const TContextSatz &b) {
  return a.Name == b.Name && a.Operation == b.Operation && a.Arguments == b.Arguments;
}

// The name of a copy stays within what the exchange file takes.
QString CopyName(const QString &name) {
  const QString suffix = QStringLiteral(" (Kopie)");
  return name.left(kSchnellEinstiegNameMaxLength - suffix.size()).trimmed() + suffix;
}

// Tells the user when a change found the entry changed or gone.
void TellStand(Twexodm::TSEStand stand, const QString &title, const QString &name) {
  if (stand != Twexodm::TSEStand::Gespeichert)
    QVNMessages()->Show(title, Twexodm::StandText(stand, name), TQVNMessageKind::Warning);
}
} // namespace

QString Twexodm::StandText(TSEStand stand, const QString &name) {
  switch (stand) {
  case TSEStand::Geloescht:
    return QStringLiteral("Der Schnelleinstieg „%1“ wurde inzwischen an einem anderen Arbeitsplatz gelöscht.").arg(name);
  case TSEStand::Geaendert:
    return QStringLiteral("Der Schnelleinstieg „%1“ wurde inzwischen an einem anderen Arbeitsplatz geändert. Bitte "
                          "prüfen Sie ihn und wiederholen Sie Ihre Änderung.")
        .arg(name);
  default:
    return {};
  }
}

// Changes apply only to the entry as it was loaded: a change made meanwhile
// at another workstation is neither overwritten nor lost.
Twexodm::TSEStand Twexodm::ChangeLoaded(const TContextSatz &loaded,
                                        const std::function<void(const TWexoStore *, const TContextSatz &)> &change) {
  const TWexoStore *store = Require(FStore);
  TSEStand stand = TSEStand::Gespeichert;
  store->Transaction([&] {
    const auto now = StoredEntry(store, loaded.Id);
    stand = !now ? TSEStand::Geloescht : !SameEntry(*now, loaded) ? TSEStand::Geaendert : TSEStand::Gespeichert;
    if (stand == TSEStand::Gespeichert)
      change(store, *now);
  });
  return stand;
}

Twexodm::TSEStand Twexodm::UpdateSchnellEinstieg(const TContextSatz &loaded, const TContextSatz &edited) {
  return ChangeLoaded(loaded, [&](const TWexoStore *store, const TContextSatz &) {
    store->Exec(QStringLiteral("UPDATE quick_entries SET name = ?, operation = ?, arguments = ? WHERE id = ?"),
                {edited.Name, edited.Operation, edited.Arguments, loaded.Id});
  });
}

Twexodm::TSEStand Twexodm::CopySchnellEinstieg(const TContextSatz &loaded) {
  return ChangeLoaded(loaded, [&](const TWexoStore *store, const TContextSatz &now) {
    TContextSatz copy = now;
    copy.Name = CopyName(now.Name);
    InsertEntry(store, copy);
  });
}

Twexodm::TSEStand Twexodm::RemoveSchnellEinstieg(const TContextSatz &loaded) {
  return ChangeLoaded(loaded, [&](const TWexoStore *store, const TContextSatz &) {
    store->Exec(QStringLiteral("DELETE FROM quick_entries WHERE id = ?"), {loaded.Id});
  });
}

bool Twexodm::EditSchnellEinstiegDialog(const QString &title, TContextSatz &entry) {
  return !AutoDialogs() && QuickEntryDialog(title, entry);
}

bool Twexodm::ConfirmSchnellEinstiegLoeschen(const TContextSatz &entry) {
  return AutoDialogs() || ConfirmDialog(QStringLiteral("Schnelleinstieg löschen"),
                                        QStringLiteral("Schnelleinstieg „%1“ wirklich löschen?").arg(entry.Name));
}

void Twexodm::SchnellEinstiegNeuAnlage() {
  Operation(QStringLiteral("SchnellEinstiegNeuAnlage"), QString(), [&] {
    TContextSatz entry;
    if (!EditSchnellEinstiegDialog(QStringLiteral("Schnelleinstieg anlegen"), entry))
      return;
    const TWexoStore *store = Require(FStore);
    InsertEntry(store, entry);
  });
}

void Twexodm::SchnellEinstiegBearbeiten(const TContextSatz &entry) {
  Operation(QStringLiteral("SchnellEinstiegBearbeiten"), entry.Name, [&] {
    TContextSatz edited = entry;
    if (!EditSchnellEinstiegDialog(QStringLiteral("Schnelleinstieg bearbeiten"), edited))
      return;
    TellStand(UpdateSchnellEinstieg(entry, edited), QStringLiteral("Schnelleinstieg bearbeiten"), entry.Name);
  });
}

void Twexodm::SchnellEinstiegKopieren(const TContextSatz &entry) {
  Operation(QStringLiteral("SchnellEinstiegKopieren"), entry.Name, [&] {
    TellStand(CopySchnellEinstieg(entry), QStringLiteral("Schnelleinstieg kopieren"), entry.Name);
  });
}

void Twexodm::DeleteSchnellEintieg(const TContextSatz &entry) {
  Operation(QStringLiteral("DeleteSchnellEintieg"), entry.Name, [&] {
    if (!ConfirmSchnellEinstiegLoeschen(entry))
      return;
    TellStand(RemoveSchnellEinstieg(entry), QStringLiteral("Schnelleinstieg löschen"), entry.Name);
  });
}

void Twexodm::SchnellEinstiegExecute(const TContextSatz &entry) {
  // Refused before anything is journaled: a quick entry is no way around a refusal.
  RefuseIfBarred(entry.Operation, entry.Arguments);
  // Its dialog is journaled as opened by the quick entry: it counts once, as the quick entry.
  Operation(QStringLiteral("SchnellEinstiegExecute"), entry.Name, [&] {
    const TOpenedVia via(this, QStringLiteral("SchnellEinstiegExecute"));
    RunByName(entry.Operation, entry.Arguments);
  });
}

void Twexodm::SchnellEinstiegExportieren(const TContextSatz &entry) {
  Operation(QStringLiteral("SchnellEinstiegExportieren"), entry.Name, [&] {
    if (AutoDialogs())
      return;
    const QString path =
        ChooseSaveFile(QStringLiteral("Schnelleinstieg exportieren"), SchnellEinstiegDateiName(entry.Name),
                       QStringLiteral("Schnelleinstiege (*.json)"));
    if (path.isEmpty())
      return;
    QString error;
    if (!WriteSchnellEinstiegDatei(path, {entry}, error))
      throw std::runtime_error(error.toStdString());
  });
}

void Twexodm::SchnellEinstiegImportieren() {
  Operation(QStringLiteral("SchnellEinstiegImportieren"), QString(), [&] {
    if (AutoDialogs())
      return;
    const QString path =
        ChooseOpenFile(QStringLiteral("Schnelleinstieg importieren"), QStringLiteral("Schnelleinstiege (*.json)"));
    if (path.isEmpty())
      return;
    QString error;
    if (!ImportSchnellEinstiegDatei(path, error))
      throw std::runtime_error(error.toStdString());
  });
}

bool Twexodm::ImportSchnellEinstiegDatei(const QString &path, QString &error) {
  TContexte entries;
  if (!ReadSchnellEinstiegDatei(path, entries, error))
    return false;
  const TWexoStore *store = Require(FStore);
  store->Transaction([&] {
    for (const TContextSatz &e : entries)
      InsertEntry(store, e);
  });
  return true;
}

bool Twexodm::IsKnownOperation(const QString &operation, const QString &arguments) {
  return FindSchnellEinstiegZiel(operation, arguments) != nullptr;
}

void Twexodm::RunByName(const QString &operation, const QString &arguments) {
  if (!IsKnownOperation(operation, arguments))
    throw std::invalid_argument(
        QStringLiteral("Das Ziel „%1“ des Schnelleinstiegs ist unbekannt.").arg(operation).toStdString());
  Run(operation, arguments);
}

void Twexodm::Run(const QString &operation, const QString &arguments) {
  const auto it = Operations().constFind(operation);
  if (it == Operations().constEnd() || !it->Run)
    throw std::invalid_argument(QStringLiteral("Der Dialog „%1“ ist unbekannt.").arg(operation).toStdString());
  it->Run(this, arguments.split(QLatin1Char(',')));
}

// ---- business dialogs ----

void Twexodm::SBArtikelBekannt() { Operation("SBArtikelBekannt", ""); }
void Twexodm::SB_LoH_Bekannt(bool lieferant, bool vorgabe) {
  Operation("SB_LoH_Bekannt", BoolText(lieferant) + "," + BoolText(vorgabe));
}
void Twexodm::SBVorlagenListe() { Operation("SBVorlagenListe", ""); }
void Twexodm::SBUebersicht() { Operation("SBUebersicht", ""); }
void Twexodm::StammNachLieferant(TKatArtCloseAction action) { Operation("StammNachLieferant", QString::number(int(action))); }
void Twexodm::StammSuchen(TKatArtCloseAction action) { Operation("StammSuchen", QString::number(int(action))); }
void Twexodm::DIArtikelBekannt() { Operation("DIArtikelBekannt", ""); }
void Twexodm::DIHerstellerBekannt(bool vorgabe) { Operation("DIHerstellerBekannt", BoolText(vorgabe)); }
void Twexodm::DILieferantBekannt(bool vorgabe) { Operation("DILieferantBekannt", BoolText(vorgabe)); }
void Twexodm::DIUebersicht() { Operation("DIUebersicht", ""); }
void Twexodm::DIDispositionenliste(bool ohneAuftrag) { Operation("DIDispositionenliste", BoolText(ohneAuftrag)); }
void Twexodm::DIAuftrNrBekannt() { Operation("DIAuftrNrBekannt", ""); }
void Twexodm::ORDERUebersicht() {
  Operation("ORDERUebersicht", "", [this] { TaskOverview(DialogTitle("ORDERUebersicht"), "DIIM", -1); });
}
void Twexodm::WAArtikelBekannt() { Operation("WAArtikelBekannt", ""); }
void Twexodm::WAHerstellerBekannt() { Operation("WAHerstellerBekannt", ""); }
void Twexodm::WAUebersicht() { Operation("WAUebersicht", ""); }
void Twexodm::WAListe() { Operation("WAListe", ""); }
void Twexodm::WAAuftrNrBekannt() { Operation("WAAuftrNrBekannt", ""); }
void Twexodm::WTArtikelBekannt() { Operation("WTArtikelBekannt", ""); }
void Twexodm::WTHerstellerBekannt() { Operation("WTHerstellerBekannt", ""); }
void Twexodm::WTUebersicht() { Operation("WTUebersicht", ""); }
void Twexodm::WTListe() { Operation("WTListe", ""); }
void Twexodm::WTVorgIdBekannt() { Operation("WTVorgIdBekannt", ""); }
void Twexodm::WEArtikelBekannt(bool sammelartikel) { Operation("WEArtikelBekannt", BoolText(sammelartikel)); }
void Twexodm::WEVorgIdBekannt() { Operation("WEVorgIdBekannt", ""); }
void Twexodm::WEHerstellerBekannt(bool vorgabe) { Operation("WEHerstellerBekannt", BoolText(vorgabe)); }
void Twexodm::WEAuftragsNrBekannt() { Operation("WEAuftragsNrBekannt", ""); }
void Twexodm::WELieferantBekannt(bool vorgabe) { Operation("WELieferantBekannt", BoolText(vorgabe)); }
void Twexodm::WEUebersicht() { Operation("WEUebersicht", ""); }
void Twexodm::WEListe() { Operation("WEListe", ""); }
void Twexodm::LieferungUebersicht(const TSCANSelectRecs &auswahl, bool nurAuswahl) {
  QStringList ids;
  for (const TSCANSelectRec &r : auswahl)
    ids << QString::number(r.LieferungId);
  Operation("LieferungUebersicht", "[" + ids.join(' ') + "]," + BoolText(nurAuswahl),
            [this] { TaskOverview(DialogTitle("LieferungUebersicht"), "SCAN", -1); });
}
void Twexodm::ArtinfoUebersicht() { Operation("ArtinfoUebersicht", ""); }
void Twexodm::ArtinfoArtikelBekannt() { Operation("ArtinfoArtikelBekannt", ""); }
void Twexodm::ArtinfoAllgBewListe() { Operation("ArtinfoAllgBewListe", ""); }
void Twexodm::ArtinfoInventurzaehlung() {
  InventurZaehlungAnfordern = false;
  Operation("ArtinfoInventurzaehlung", "");
}
void Twexodm::ArtinfoKata2Wexo() { Operation("ArtinfoKata2Wexo", ""); }
void Twexodm::ArtinfoSSC2Wexo() {
  Operation("ArtinfoSSC2Wexo", "", [] {
    if (AutoDialogs())
      return;
    TSimpleMask mask(QStringLiteral("WEXO"), QStringLiteral("SSC"), QString(), false, true, nullptr, QString(), QString());
    const int open = mask.ReadLocalDef(QStringLiteral("SSCIMP"), 0);
    if (open > 0 && ConfirmDialog(DialogTitle("ArtinfoSSC2Wexo"),
                                  QStringLiteral("%1 offene SSC-Positionen übernehmen?").arg(open)))
      mask.WriteLocalDef(QStringLiteral("SSCIMP"), 0);
    else if (open <= 0)
      ShowStandInDialog(DialogTitle("ArtinfoSSC2Wexo"), QString());
  });
}
void Twexodm::ArtinfoBez_Herst_ArtNr() { Operation("ArtinfoBez_Herst_ArtNr", ""); }
void Twexodm::FAEinzelRM() { Operation("FAEinzelRM", ""); }
void Twexodm::FAArtikelBekannt() { Operation("FAArtikelBekannt", ""); }
void Twexodm::FAListeCreate() { Operation("FAListeCreate", ""); }
void Twexodm::Stat_SavedSelections() { Operation("Stat_SavedSelections", ""); }
void Twexodm::Stat_EVA() { Operation("Stat_EVA", ""); }
void Twexodm::Rechnungskontrolle() { Operation("Rechnungskontrolle", ""); }
void Twexodm::RechnungBearbeiten() { Operation("RechnungBearbeiten", ""); }
void Twexodm::Gutschriftsanforderung(const TIntPair &mandant, const TIntPair &lieferant, bool direkt, bool ohneDialog) {
  Operation("Gutschriftsanforderung",
            PairText(mandant) + "," + PairText(lieferant) + "," + BoolText(direkt) + "," + BoolText(ohneDialog));
}
void Twexodm::GutschriftsanforderungBearbeiten() { Operation("GutschriftsanforderungBearbeiten", ""); }
void Twexodm::Gutschriftskontrolle() { Operation("Gutschriftskontrolle", ""); }
void Twexodm::Belastungsanzeige() { Operation("Belastungsanzeige", ""); }
void Twexodm::GutschriftBearbeiten() { Operation("GutschriftBearbeiten", ""); }
void Twexodm::EWABearbeiten() { Operation("EWABearbeiten", ""); }
void Twexodm::BelegUeberDokumentenNr() { Operation("BelegUeberDokumentenNr", ""); }
void Twexodm::QuerfakturaNachdrucken() { Operation("QuerfakturaNachdrucken", ""); }
void Twexodm::ZeitRaumAbfrage(bool nurAnzeigen) { Operation("ZeitRaumAbfrage", BoolText(nurAnzeigen)); }
void Twexodm::GeneralOptions() {
  Operation("GeneralOptions", "", [this] {
    TWexoGeneralOptionsRec options = TWexoGeneralOptions::GetOptions();
    if (AutoDialogs() || !GeneralOptionsDialog(options))
      return;
    const TWexoStore *store = Require(FStore);
    store->Transaction([&] {
      store->Exec(QStringLiteral("DELETE FROM workstation_settings WHERE terminal_id = ? AND name = 'HidePictures'"),
                  {QVNInfoTerminalID()});
      store->Exec(QStringLiteral("INSERT INTO workstation_settings (terminal_id, name, value) VALUES (?, 'HidePictures', ?)"),
                  {QVNInfoTerminalID(), options.HidePictures ? "1" : "0"});
    });
    TWexoGeneralOptions::SetOptions(options);
  });
}
void Twexodm::LayoutCopy() { Operation("LayoutCopy", ""); }
void Twexodm::Import_Maskeneinstellungen() { Operation("Import_Maskeneinstellungen", ""); }
void Twexodm::WaehrungenWaehlen() {
  Operation("WaehrungenWaehlen", "", [this] {
    if (!AutoDialogs())
      CurrenciesDialog(Require(FStore));
  });
}
void Twexodm::RechnungBearbeitenDirekt() {
  DirektBearbeitenCode = 0;
  Operation("RechnungBearbeitenDirekt", "");
}
void Twexodm::GutschriftBearbeitenDirekt() {
  DirektBearbeitenCode = 0;
  Operation("GutschriftBearbeitenDirekt", "");
}
void Twexodm::SchnellSucheAusfuehren() {
  SchnellSucheAnfordern = false;
  Operation("SchnellSucheAusfuehren", "");
}

void Twexodm::TaskOverview(const QString &title, const QString &kind, int subkind) {
  if (!AutoDialogs())
    TaskOverviewDialog(Require(FStore), title, kind, subkind);
}

void Twexodm::WiedervorlagenUebersicht() {
  Operation("WiedervorlagenUebersicht", "", [this] { TaskOverview(DialogTitle("WiedervorlagenUebersicht"), "WDVO", -1); });
}
void Twexodm::BedarfeUebersicht() {
  Operation("BedarfeUebersicht", "", [this] { TaskOverview(DialogTitle("BedarfeUebersicht"), "BEDA", -1); });
}
void Twexodm::Exportfehler(TZDQ_Exportklasse_Typ_erw klasse) {
  Operation("Exportfehler", QString::number(int(klasse)), [this, klasse] {
    TaskOverview(klasse == ekMaster ? QStringLiteral("YUPA-Master-Fehler") : DialogTitle("Exportfehler"), "EXFE",
                 int(klasse));
  });
}
void Twexodm::RechnungsKontrolleInvoice() {
  Operation("RechnungsKontrolleInvoice", "", [this] { TaskOverview(DialogTitle("RechnungsKontrolleInvoice"), "INVO", -1); });
}
void Twexodm::UnvollstaendigeBelege() {
  Operation("UnvollstaendigeBelege", "", [this] { TaskOverview(DialogTitle("UnvollstaendigeBelege"), "UNVO", -1); });
}
void Twexodm::QuerfakturaUebersicht() {
  Operation("QuerfakturaUebersicht", "", [this] { TaskOverview(DialogTitle("QuerfakturaUebersicht"), "QUFA", -1); });
}
void Twexodm::OffeneWarenverteilungenUebersicht() {
  Operation("OffeneWarenverteilungenUebersicht", "",
            [this] { TaskOverview(DialogTitle("OffeneWarenverteilungenUebersicht"), "WAVE", 2); });
}
void Twexodm::ErfolgteWarenverteilungenUebersicht() {
  Operation("ErfolgteWarenverteilungenUebersicht", "",
            [this] { TaskOverview(DialogTitle("ErfolgteWarenverteilungenUebersicht"), "WAVE", 3); });
}
