// The task list: counting pending work into rows, painting and opening them.
#include "wexoentreefrm.h"

#include "components/qvnalign.h"
#include "framework/qvnguard.h"
#include "storage/wexostore.h"

#include <QCursor>
#include <QPainter>

namespace {
// A row's value as a number; anything that is not a number counts as 0.
int RowValue(const TStringList *list) {
  if (!list || list->Count() < 2)
    return 0;
  bool ok = false;
  const int v = list->Strings.at(1).trimmed().toInt(&ok);
  return ok ? v : 0;
}
} // namespace

void TfrmWexoentree::LoadAufgaben() {
  // All counts of the list come with its first count, in one read.
  const TWexoReadBatch batch(wexodm ? wexodm->Store() : nullptr, wpOpenWork);
  QList<TAufgabenZeile> rows;
  bool unavailable = false;
  try {
    CountAufgaben(rows);
  } catch (const std::exception &e) {
    // Counts that cannot be read (damaged database, server away since the
    // start) are said so above the list, and the rows shown stay as they were;
    // any other failure is reported, and the rows built so far are shown.
    unavailable = dynamic_cast<const EWexoDamaged *>(&e) || dynamic_cast<const EWexoOffline *>(&e);
    QVNInfo()->RegisterException(QStringLiteral("TfrmWexoentree.LoadAufgaben"), e, true);
    if (!unavailable)
      QVNMessages()->ReportFailure(QStringLiteral("TfrmWexoentree.LoadAufgaben"), e);
  }
  FCountsUnavailable = unavailable;
  if (!unavailable)
    ShowAufgaben(rows);
  ShowStoreState();
}

// The rows of the task list in their order, each kind counted by its manager;
// a failure leaves the rows counted so far.
void TfrmWexoentree::CountAufgaben(QList<TAufgabenZeile> &rows) {
  auto addRow = [&](const QString &caption, const QString &value, const QString &code) {
    rows.append({caption, value, code});
  };
  auto number = [](int n) { return QString::number(n); };
  int n = wexodm->GetWiedervorlagen()->Enum_Wiedervorlagen_ByDate(qvn_Now(), 1, nullptr);
  addRow(n > 1 ? QStringLiteral("Wiedervorlagen") : QStringLiteral("Wiedervorlage"), number(n), QStringLiteral("WDVO"));

  rows.append(CountNeeds());

  n = TZDQ_Ordermani::DiImSatz_Count_Get();
  addRow(n > 1 ? QStringLiteral("Bestellpositionen") : QStringLiteral("Bestellposition"), number(n),
         QStringLiteral("DIIM"));

  n = wexodm->GetLieferungMani()->Count();
  addRow(n > 1 ? QStringLiteral("Warenannahmen") : QStringLiteral("Warenannahme"), number(n), QStringLiteral("SCAN"));

  int e = 0, m = 0;
  wexodm->GetEXFEMani()->GetFehlerCounts(e, m);
  if (e > 0)
    addRow(QStringLiteral("Exportfehler"), number(e), QStringLiteral("EXFE"));
  if (m > 0)
    addRow(QStringLiteral("YUPA-Master-Fehler"), number(m), QStringLiteral("EXIM"));

  n = wexodm->GetInvoicMani()->Lesen_RechnungsAnzahl();
  if (n > 0)
    addRow(QStringLiteral("Elekt. Rechnungen"), number(n), QStringLiteral("INVO"));

  {
    auto unvoll = wexodm->GetUnvollmani();
    if (unvoll->AufgabeAktiv()) {
      const TIntPair k = QVNProgramm()->GetAktMandantGesetzt() ? QVNProgramm()->GetAktMandant() : CLeeresIntPair;
      addRow(QStringLiteral("Unvollständige Belege"), number(unvoll->AnzahlBelege(k)), QStringLiteral("UNVO"));
    }
  }

  const int mode = QuerfakturaAktiv4Char(QVNParameter()->GetCharValueByName(QStringLiteral("QUERFAMA")));
  if (mode == 2 || mode == 3) {
    n = wexodm->QuerfakturaMani_GoC()->AnzQFAufgabenGet();
    if (n > 0)
      addRow(QStringLiteral("Querfaktura"), number(n), QStringLiteral("QUFA"));
  }

  n = wexodm->GetWiedervorlagen()->Enum_Warenverteilung_ByTyp(wvtOffen, nullptr);
  addRow(QStringLiteral("Offene Warenverteilung"), number(n), QStringLiteral("OFWA"));
  n = wexodm->GetWiedervorlagen()->Enum_Warenverteilung_ByTyp(wvtErfolgt, nullptr);
  addRow(QStringLiteral("Erfolgte Warenverteilung"), number(n), QStringLiteral("ERWA"));

  {
    // The mask goes at the end of this block, also when the read fails.
    const TSimpleMask mask(QStringLiteral("WEXO"), QStringLiteral("SSC"), QString(), false, true, nullptr, QString(),
                           QString());
    n = mask.ReadLocalDef(QStringLiteral("SSCIMP"), 0);
  }
  if (n > 0)
    addRow(QStringLiteral("Offene SSC-Positionen"), number(n), QStringLiteral("SSC_"));
}

// Open needs: a count without a branch, yes or no with one; a server that
// fails to answer counts as none, and its error is not kept.
TfrmWexoentree::TAufgabenZeile TfrmWexoentree::CountNeeds() {
  int n = 0;
  bool b = false;
  bool needsFailed = false;
  try {
    if (QVNProgramm()->GetAktFiliale() < 1)
      n = wexodm->GetBedarfeListServer()->BedarfeCount();
    else
      b = wexodm->GetBedarfeListServer()->BedarfeVorhanden();
  } catch (...) {
    n = 0;
    b = false;
    needsFailed = true;
    QVNInfo()->ResetErrorSpezNoWrite(0, QString(), QString(), 0, 0);
  }
  if (QVNProgramm()->GetAktFiliale() < 1)
    return {n > 1 ? QStringLiteral("Offene Bedarfe") : QStringLiteral("Offener Bedarf"), QString::number(n),
            QStringLiteral("BEDA")};
  // With a branch the row answers yes or no: open needs exist, in the plural.
  return {needsFailed ? QStringLiteral("Offener Bedarf") : QStringLiteral("Offene Bedarfe"), BoolToJaNein(b),
          QStringLiteral("BEDA")};
}

// The rows into the list; the row the user stands on stays the current one
// when the counts change under it.
void TfrmWexoentree::ShowAufgaben(const QList<TAufgabenZeile> &rows) {
  const int focused = vstAufgaben->FocusedNode();
  vstAufgaben->BeginUpdate();
  vstAufgaben->Clear();
  for (const TAufgabenZeile &row : rows) {
    const int node = vstAufgaben->AddChild(-1);
    auto *list = new TStringList;
    vstAufgaben->SetNodeData(node, list);
    list->Add(row.Caption);
    list->Add(row.Value);
    list->Add(QString());
    list->Add(row.Code);
  }
  vstAufgaben->EndUpdate();
  if (focused >= 0 && focused < vstAufgaben->RootNodeCount())
    vstAufgaben->SetFocusedCell(focused, 0);
}

// Above the task list: why its counts are not current, and when the next attempt comes.
void TfrmWexoentree::ShowStoreState() {
  QVNGuard(QStringLiteral("TfrmWexoentree.ShowStoreState"), [&] {
    const TWexoConnectionState state = wexodm->StoreState();
    QString text;
    if (state.Damaged)
      text = QStringLiteral("Zählerstände nicht verfügbar – die Datenbank ist beschädigt.");
    else if (!state.Online) {
      const qint64 seconds = state.NextTry.isValid() ? QDateTime::currentDateTime().secsTo(state.NextTry) : -1;
      text = seconds > 0 ? QStringLiteral("Keine Verbindung zur Datenbank – neuer Versuch in %1 s.").arg(seconds)
                         : QStringLiteral("Keine Verbindung zur Datenbank – neuer Versuch läuft …");
    } else if (state.Locked)
      text = QStringLiteral("Die Datenbank ist von einem anderen Programm gesperrt – die Zählerstände werden nach "
                            "der Freigabe aufgefrischt.");
    else if (FCountsUnavailable)
      text = QStringLiteral("Zählerstände nicht verfügbar.");
    const bool shown = !text.isEmpty();
    if (lblAufgabenHinweis->Caption() != text)
      lblAufgabenHinweis->SetCaption(text);
    if (lblAufgabenHinweis->isHidden() == shown) {
      lblAufgabenHinweis->setVisible(shown);
      TQVNAlign::Realign(lblAufgabenHinweis);
    }
    vstAufgaben->SetGhosted(shown);
    // The countdown needs no database: it only redraws the line.
    if (!state.Online && !state.Damaged)
      FStateTimer.start();
    else
      FStateTimer.stop();
  });
}

void TfrmWexoentree::vstAufgabenBeforeCellPaint(TVTStringList *Sender, QPainter *TargetCanvas, int Node, int,
                                                const QRect &CellRect) {
  QVNGuard(QStringLiteral("TfrmWexoentree.vstAufgabenBeforeCellPaint"), [&] {
    if (Sender->Selected(Node))
      return;
    TargetCanvas->setBrush(Node % 2 ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xEE, 0xEE, 0xEE));
    TargetCanvas->fillRect(CellRect, TargetCanvas->brush());
  });
}

void TfrmWexoentree::vstAufgabenGetImageIndex(TVTStringList *Sender, int Node, int, int Column, bool &,
                                              int &ImageIndex) {
  QVNGuard(QStringLiteral("TfrmWexoentree.vstAufgabenGetImageIndex"), [&] {
    if (Column != 2 || Node < 0)
      return;
    const TStringList *list = Sender->GetNodeData(Node);
    if (list && RowValue(list) >= 1)
      ImageIndex = 0;
  });
}

void TfrmWexoentree::vstAufgabenGetCursor(TVTStringList *Sender, int &Cursor) {
  QVNGuard(QStringLiteral("TfrmWexoentree.vstAufgabenGetCursor"), [&] {
    const QPoint p = Sender->viewport()->mapFromGlobal(QCursor::pos());
    const int node = Sender->GetNodeAt(p);
    if (node < 0)
      return;
    const TStringList *list = Sender->GetNodeData(node);
    if (list && RowValue(list) >= 1)
      Cursor = crHandPoint;
  });
}

void TfrmWexoentree::vstAufgabenDblClick(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.vstAufgabenDblClick"), [&] {
    const int node = vstAufgaben->GetFirstSelected();
    if (node < 0)
      return;
    const TStringList *list = vstAufgaben->GetNodeData(node);
    if (!list || list->Count() < 4)
      return;
    const QString code = list->Strings.at(3);
    QVNMessages()->SetWhat(QStringLiteral("TfrmWexoentree.vstAufgabenDblClick"),
                           QStringLiteral("Die Aufgabe „%1“ konnte nicht geöffnet werden").arg(list->Strings.at(0)));
    if (code == QLatin1String("WDVO"))
      RunHidden([] { wexodm->WiedervorlagenUebersicht(); });
    else if (code == QLatin1String("BEDA"))
      RunHidden([] { wexodm->BedarfeUebersicht(); });
    else if (code == QLatin1String("DIIM"))
      RunHidden([] { wexodm->ORDERUebersicht(); });
    else if (code == QLatin1String("SCAN"))
      RunHidden([] { wexodm->LieferungUebersicht(TSCANSelectRecs(), false); });
    else if (code == QLatin1String("EXFE"))
      wexodm->Exportfehler(ekExport);
    else if (code == QLatin1String("EXIM"))
      wexodm->Exportfehler(ekMaster);
    else if (code == QLatin1String("INVO"))
      wexodm->RechnungsKontrolleInvoice();
    else if (code == QLatin1String("UNVO"))
      wexodm->UnvollstaendigeBelege();
    else if (code == QLatin1String("QUFA"))
      RunHidden([] { wexodm->QuerfakturaUebersicht(); });
    else if (code == QLatin1String("OFWA"))
      RunHidden([] { wexodm->OffeneWarenverteilungenUebersicht(); });
    else if (code == QLatin1String("ERWA"))
      RunHidden([] { wexodm->ErfolgteWarenverteilungenUebersicht(); });
    else if (code == QLatin1String("SSC_"))
      RunHidden([] { wexodm->ArtinfoSSC2Wexo(); });
    LoadAufgaben();
  });
}
