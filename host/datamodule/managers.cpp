#include "datamodule/managers.h"
#include "datamodule/wexodmu.h"
#include "storage/wexostore.h"

#include <stdexcept>

namespace {
Twexodm *Require(Twexodm *dm) {
  if (!dm)
    throw std::runtime_error("Das Datenmodul ist nicht erzeugt.");
  return dm;
}
} // namespace

int CountOpenWork(Twexodm *dm, const QString &kind, int subkind) {
  return Require(dm)->OpenWork().Count(kind, subkind);
}

// Due are all open resubmissions (those without a date among them) except the
// ones still ahead; the counts were taken for the moment of the read, which a
// task list asks for. Another moment is counted on its own.
int TWiedervorlagen::Enum_Wiedervorlagen_ByDate(const QDateTime &when, int, void *) {
  const TWexoOpenWork work = Require(FDm)->OpenWork();
  // Counts that could not be read anew stand as they were read last.
  if (!FDm->OpenWorkCurrent() || (when.date() == work.Now.date() && qAbs(when.secsTo(work.Now)) <= 2))
    return work.WdvoDue();
  return FDm->WiedervorlagenDueAt(when);
}

int TWiedervorlagen::Enum_Warenverteilung_ByTyp(TZDQ_WiedervorlWarenvert_Typ typ, void *) {
  return CountOpenWork(FDm, "WAVE", int(typ));
}

int IQVN_BedarfeListServer::BedarfeCount() { return CountOpenWork(FDm, "BEDA"); }

// In a branch: the needs of the branch and those of no branch.
bool IQVN_BedarfeListServer::BedarfeVorhanden() {
  return Require(FDm)->OpenWork().Count(QStringLiteral("BEDA"), 0, QVNProgramm()->GetAktMandant().Key1,
                                        {0, QVNProgramm()->GetAktFiliale()}) > 0;
}

int TZDQ_Ordermani::DiImSatz_Count_Get() {
  if (!wexodm)
    throw std::runtime_error("Das Datenmodul ist nicht erzeugt.");
  return wexodm->DiImSatzCount();
}

int TQVN_LieferungMani::Count() { return CountOpenWork(FDm, "SCAN"); }

void TZDQ_ExportFehler_Mani::GetFehlerCounts(int &exportFehler, int &masterFehler) {
  exportFehler = CountOpenWork(FDm, "EXFE", 1);
  masterFehler = CountOpenWork(FDm, "EXFE", 2);
}

int TZDQ_InVoic_Mani::Lesen_RechnungsAnzahl() { return CountOpenWork(FDm, "INVO"); }

bool TUnvollMani::AufgabeAktiv() {
  const QString v = QVNParameter()->GetStringValueByName(QStringLiteral("UNVOLLAUFG"));
  return v.isEmpty() || QVNParameter()->GetBooleanValueByName(QStringLiteral("UNVOLLAUFG"));
}

int TUnvollMani::AnzahlBelege(const TIntPair &mandant) {
  return Require(FDm)->OpenWork().Count(QStringLiteral("UNVO"), 0, mandant.Key1);
}

int TZDQ_QuerfakturaMani::AnzQFAufgabenGet() { return CountOpenWork(FDm, "QUFA"); }
