#pragma once
// The managers the data module hands out for counting pending work. Each
// answers from indexed COUNT queries of the store; tests replace them.
#include <QDateTime>

#include "framework/qvnframework.h"

class TWexoStore;

// Kind of goods distribution.
enum TZDQ_WiedervorlWarenvert_Typ { wvtOffen = 2, wvtErfolgt = 3 };

class TWiedervorlagen {
public:
  explicit TWiedervorlagen(const TWexoStore *store) : FStore(store) {}
  virtual ~TWiedervorlagen() = default;
  // Resubmissions due at the given time; art 1 counts the open ones.
  virtual int Enum_Wiedervorlagen_ByDate(const QDateTime &when, int art, void *list = nullptr);
  // Goods distributions of a kind: 2 open, 3 completed.
  virtual int Enum_Warenverteilung_ByTyp(TZDQ_WiedervorlWarenvert_Typ typ, void *list = nullptr);

protected:
  const TWexoStore *FStore;
};

class IQVN_BedarfeListServer {
public:
  explicit IQVN_BedarfeListServer(const TWexoStore *store) : FStore(store) {}
  virtual ~IQVN_BedarfeListServer() = default;
  virtual int BedarfeCount();
  virtual bool BedarfeVorhanden();

protected:
  const TWexoStore *FStore;
};

class TZDQ_Ordermani {
public:
  // Imported order positions not yet taken over.
  static int DiImSatz_Count_Get();
};

class TQVN_LieferungMani {
public:
  explicit TQVN_LieferungMani(const TWexoStore *store) : FStore(store) {}
  virtual ~TQVN_LieferungMani() = default;
  virtual int Count();

protected:
  const TWexoStore *FStore;
};

class TZDQ_ExportFehler_Mani {
public:
  explicit TZDQ_ExportFehler_Mani(const TWexoStore *store) : FStore(store) {}
  virtual ~TZDQ_ExportFehler_Mani() = default;
  // Export errors and master-data errors.
  virtual void GetFehlerCounts(int &exportFehler, int &masterFehler);

protected:
  const TWexoStore *FStore;
};

class TZDQ_InVoic_Mani {
public:
  explicit TZDQ_InVoic_Mani(const TWexoStore *store) : FStore(store) {}
  virtual ~TZDQ_InVoic_Mani() = default;
  virtual int Lesen_RechnungsAnzahl();

protected:
  const TWexoStore *FStore;
};

class TUnvollMani {
public:
  explicit TUnvollMani(const TWexoStore *store) : FStore(store) {}
  virtual ~TUnvollMani() = default;
  // Whether the task of incomplete documents is switched on (parameter "UNVOLLAUFG").
  virtual bool AufgabeAktiv();
  virtual int AnzahlBelege(const TIntPair &mandant);

protected:
  const TWexoStore *FStore;
};

class TZDQ_QuerfakturaMani {
public:
  explicit TZDQ_QuerfakturaMani(const TWexoStore *store) : FStore(store) {}
  virtual ~TZDQ_QuerfakturaMani() = default;
  virtual int AnzQFAufgabenGet();

protected:
  const TWexoStore *FStore;
};

// Counts open pending work of a kind (and sub kind, when not negative).
int CountOpenWork(const TWexoStore *store, const QString &kind, int subkind = -1);
