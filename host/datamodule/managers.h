#pragma once
// The managers the data module hands out for counting pending work. Each
// answers from the data module's counts of open work, which one statement
// brings for a whole task list; tests replace them.
#include <QDateTime>

#include "framework/qvnframework.h"

class Twexodm;

// Kind of goods distribution.
enum TZDQ_WiedervorlWarenvert_Typ { wvtOffen = 2, wvtErfolgt = 3 };

class TWiedervorlagen {
public:
  explicit TWiedervorlagen(Twexodm *dm) : FDm(dm) {}
  virtual ~TWiedervorlagen() = default;
  // Resubmissions due at the given time; art 1 counts the open ones.
  virtual int Enum_Wiedervorlagen_ByDate(const QDateTime &when, int art, void *list = nullptr);
  // Goods distributions of a kind: 2 open, 3 completed.
  virtual int Enum_Warenverteilung_ByTyp(TZDQ_WiedervorlWarenvert_Typ typ, void *list = nullptr);

protected:
  Twexodm *FDm;
};

class IQVN_BedarfeListServer {
public:
  explicit IQVN_BedarfeListServer(Twexodm *dm) : FDm(dm) {}
  virtual ~IQVN_BedarfeListServer() = default;
  virtual int BedarfeCount();
  virtual bool BedarfeVorhanden();

protected:
  Twexodm *FDm;
};

class TZDQ_Ordermani {
public:
  // Imported order positions not yet taken over.
  static int DiImSatz_Count_Get();
};

class TQVN_LieferungMani {
public:
  explicit TQVN_LieferungMani(Twexodm *dm) : FDm(dm) {}
  virtual ~TQVN_LieferungMani() = default;
  virtual int Count();

protected:
  Twexodm *FDm;
};

class TZDQ_ExportFehler_Mani {
public:
  explicit TZDQ_ExportFehler_Mani(Twexodm *dm) : FDm(dm) {}
  virtual ~TZDQ_ExportFehler_Mani() = default;
  // Export errors and master-data errors.
  virtual void GetFehlerCounts(int &exportFehler, int &masterFehler);

protected:
  Twexodm *FDm;
};

class TZDQ_InVoic_Mani {
public:
  explicit TZDQ_InVoic_Mani(Twexodm *dm) : FDm(dm) {}
  virtual ~TZDQ_InVoic_Mani() = default;
  virtual int Lesen_RechnungsAnzahl();

protected:
  Twexodm *FDm;
};

class TUnvollMani {
public:
  explicit TUnvollMani(Twexodm *dm) : FDm(dm) {}
  virtual ~TUnvollMani() = default;
  // Whether the task of incomplete documents is switched on (parameter "UNVOLLAUFG").
  virtual bool AufgabeAktiv();
  virtual int AnzahlBelege(const TIntPair &mandant);

protected:
  Twexodm *FDm;
};

class TZDQ_QuerfakturaMani {
public:
  explicit TZDQ_QuerfakturaMani(Twexodm *dm) : FDm(dm) {}
  virtual ~TZDQ_QuerfakturaMani() = default;
  virtual int AnzQFAufgabenGet();

protected:
  Twexodm *FDm;
};

// Counts open pending work of a kind (and sub kind, when not negative).
int CountOpenWork(Twexodm *dm, const QString &kind, int subkind = -1);
