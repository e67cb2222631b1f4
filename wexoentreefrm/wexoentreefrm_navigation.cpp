// Switching between the work-area pages and back to the start menu.
#include "wexoentreefrm.h"

#include "components/actionlist.h"
#include "framework/qvnguard.h"

void TfrmWexoentree::SwitchPage(TTabSheet *sheet, int index, TButtons *menu) {
  pgcStartMain->SetActivePage(sheet);
  FStartMenuItemIndex = index;
  btnpnStartMenu->SetFocusToButton(index);
  TZDQ_WinControl_ClassHelper::SetFocus_Secure(menu, true);
}

void TfrmWexoentree::acVorgangsvorlageExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acVorgangsvorlageExecute"), [&] { SwitchPage(tshSB, 0, btnMoreSB); });
}

void TfrmWexoentree::acDispositionExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acDispositionExecute"), [&] { SwitchPage(tshDI, 1, btnsMoreDI); });
}

void TfrmWexoentree::acWAExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acWAExecute"), [&] { SwitchPage(tshWA, 2, btnMoreWA); });
}

void TfrmWexoentree::acWareneingangExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acWareneingangExecute"), [&] { SwitchPage(tshWE, 3, btnsMoreWE); });
}

void TfrmWexoentree::acArtikelinformationExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acArtikelinformationExecute"),
           [&] { SwitchPage(tshArtinfo, 4, btnsMoreArtinfo); });
}

void TfrmWexoentree::acFilialaustauschExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acFilialaustauschExecute"), [&] { SwitchPage(tshFI, 5, btnsMoreFI); });
}

void TfrmWexoentree::acStatistikExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acStatistikExecute"),
           [&] { SwitchPage(tshStatistiken, 6, btnMoreStatistiken); });
}

void TfrmWexoentree::acReKoExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acReKoExecute"), [&] { SwitchPage(tshRechnungen, 7, btnsMoreRK); });
}

void TfrmWexoentree::acEinstellungenExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acEinstellungenExecute"),
           [&] { SwitchPage(tshOptionen, 8, btnsMoreOptionen); });
}

void TfrmWexoentree::btnsMoreBtnKeyDown(TButtons *, int, const QString &, quint16 &Key, Qt::KeyboardModifiers) {
  if (Key == VK_BACK)
    btnpnStartMenu->SetFocusToButton(FStartMenuItemIndex);
}

void TfrmWexoentree::acWaehrungenExecute() { Launch(acWaehrungen); }
