#pragma once
// The data module's own dialogs: the stand-in business dialog and the few
// real ones (client, options, currencies, visible menu items, task overviews,
// quick entries). With WEXO_DIALOGS=auto each returns at once as if cancelled.
#include <QSet>
#include <QString>

#include "datamodule/masktyco.h"
#include "datamodule/menueinfo.h"
#include "framework/qvnframework.h"

class TWexoStore;

void ShowStandInDialog(const QString &title, const QString &arguments);
// Client and branch; returns false when cancelled. Branch 0 means none.
bool SelectClientDialog(const TWexoStore *store, int &client, int &branch);
bool GeneralOptionsDialog(TWexoGeneralOptionsRec &options);
void CurrenciesDialog(const TWexoStore *store);
// Refused entries (the permission table) are shown greyed and marked "gesperrt"; they cannot be ticked.
bool VisibleMenuItemsDialog(TWexoEntreeMenueInfos &infos, const QSet<qint32> &refused = {});
// Lists the open items of a kind and lets the user mark them done.
void TaskOverviewDialog(const TWexoStore *store, const QString &title, const QString &kind, int subkind);
// Name and target of a quick entry; returns false when cancelled.
bool QuickEntryDialog(const QString &title, TContextSatz &entry);
bool ConfirmDialog(const QString &title, const QString &question);
void ErrorDialog(const QString &title, const QString &text);
QString ChooseOpenFile(const QString &title, const QString &filter);
QString ChooseSaveFile(const QString &title, const QString &suggestedName, const QString &filter);
