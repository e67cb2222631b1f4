#include "datamodule/managers.h"
#include "datamodule/wexodmu.h"
#include "storage/wexostore.h"

#include <stdexcept>

namespace {
const TWexoStore *Require(const TWexoStore *store) {
  if (!store)
    throw std::runtime_error("Keine Datenbank geöffnet.");
  return store;
}
} // namespace

int CountOpenWork(const TWexoStore *store, const QString &kind, int subkind) {
  return Require(store)->OpenWorkCount(kind, subkind);
}

// Due are all open resubmissions (those without a date among them) except the
// ones still ahead: the days after today from the day counters, and today's
// after the given time from the index of due times. Both stay small however
// long the history grows.
int TWiedervorlagen::Enum_Wiedervorlagen_ByDate(const QDateTime &when, int, void *) {
  const TWexoStore *store = Require(FStore);
  const QString day = when.date().toString(Qt::ISODate);
  const int open = store->OpenWorkCount(QStringLiteral("WDVO"), 0);
  const int laterDays = store
                            ->Scalar(QStringLiteral("SELECT COALESCE(SUM(open_count), 0) FROM pending_counts WHERE "
                                                    "kind = 'WDVO' AND subkind = 0 AND due_day > ?"),
                                     {day}, 0)
                            .toInt();
  const int laterToday = store
                             ->Scalar(QStringLiteral("SELECT COUNT(*) FROM pending_work WHERE kind = 'WDVO' AND done = 0 "
                                                     "AND subkind = 0 AND due_at > ? AND due_at < ?"),
                                      {when.toString(Qt::ISODate), when.date().addDays(1).toString(Qt::ISODate)}, 0)
                             .toInt();
  return open - laterDays - laterToday;
}

int TWiedervorlagen::Enum_Warenverteilung_ByTyp(TZDQ_WiedervorlWarenvert_Typ typ, void *) {
  return CountOpenWork(FStore, "WAVE", int(typ));
}

int IQVN_BedarfeListServer::BedarfeCount() { return CountOpenWork(FStore, "BEDA"); }

bool IQVN_BedarfeListServer::BedarfeVorhanden() {
  return Require(FStore)
             ->Scalar(QStringLiteral("SELECT COALESCE(SUM(open_count), 0) FROM pending_totals WHERE kind = 'BEDA' "
                                     "AND subkind = 0 AND client_id = ? AND branch_nr IN (0, ?)"),
                      {QVNProgramm()->GetAktMandant().Key1, QVNProgramm()->GetAktFiliale()}, 0)
             .toInt() > 0;
}

int TZDQ_Ordermani::DiImSatz_Count_Get() {
  if (!wexodm)
    throw std::runtime_error("Das Datenmodul ist nicht erzeugt.");
  return wexodm->DiImSatzCount();
}

int TQVN_LieferungMani::Count() { return CountOpenWork(FStore, "SCAN"); }

void TZDQ_ExportFehler_Mani::GetFehlerCounts(int &exportFehler, int &masterFehler) {
  exportFehler = CountOpenWork(FStore, "EXFE", 1);
  masterFehler = CountOpenWork(FStore, "EXFE", 2);
}

int TZDQ_InVoic_Mani::Lesen_RechnungsAnzahl() { return CountOpenWork(FStore, "INVO"); }

bool TUnvollMani::AufgabeAktiv() {
  const QString v = QVNParameter()->GetStringValueByName(QStringLiteral("UNVOLLAUFG"));
  return v.isEmpty() || QVNParameter()->GetBooleanValueByName(QStringLiteral("UNVOLLAUFG"));
}

int TUnvollMani::AnzahlBelege(const TIntPair &mandant) {
  return Require(FStore)
      ->Scalar(QStringLiteral("SELECT COALESCE(SUM(open_count), 0) FROM pending_totals WHERE kind = 'UNVO' AND "
                              "subkind = 0 AND client_id = ?"),
               {mandant.Key1}, 0)
      .toInt();
}

int TZDQ_QuerfakturaMani::AnzQFAufgabenGet() { return CountOpenWork(FStore, "QUFA"); }
