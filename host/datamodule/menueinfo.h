#pragma once
// One menu entry as the visibility settings see it.
#include <QList>
#include <QString>

struct TWexoEntreeMenueInfo {
  QString MenuCaption;
  QString AreaText;
  qint32 Tag = 0;
  bool Visible = false;
};

using TWexoEntreeMenueInfos = QList<TWexoEntreeMenueInfo>;

inline const TWexoEntreeMenueInfo CQVN_LeereWexoEntreeMenueInfo{};

struct TWexoEntreeMenueIHelper {
  static void AppendToEnd(const TWexoEntreeMenueInfo &info, TWexoEntreeMenueInfos &infos) { infos.append(info); }
};
