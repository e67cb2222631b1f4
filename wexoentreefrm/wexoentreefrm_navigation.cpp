// Switching between the work-area pages and back to the start menu.
#include "wexoentreefrm.h"

#include <QAccessible>
#include <QShortcut>

#include "components/actionlist.h"
#include "framework/qvnguard.h"

void TfrmWexoentree::SwitchPage(TTabSheet *sheet, int index, TButtons *menu) {
  pgcStartMain->SetActivePage(sheet);
  // A screen reader hears which area is shown now.
  for (TQVNPanelButton *area : btnpnStartMenu->findChildren<TQVNPanelButton *>()) {
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(area, changed);
    QAccessible::updateAccessibility(&event);
  }
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

// The window's panels in the order Tab and F6 go through them; a toolbar's
// buttons are stops of their own for Tab, one panel for F6. Inside a panel
// the arrow keys move, as each panel has them.
QList<QList<QWidget *>> TfrmWexoentree::FocusPanels() const {
  QList<QList<QWidget *>> panels = {{btnpnStartMenu}, {btnBeenden}};
  if (TTabSheet *page = pgcStartMain->ActivePage())
    panels << QList<QWidget *>{page};
  panels << QList<QWidget *>{vstAufgaben} << QList<QWidget *>{vtSchnellEinstiegView};
  QList<QWidget *> toolbar;
  for (QWidget *button : {spbSENew, spbSEEdit, spbSECopy, spbSEDelete, spbSERun, spbSEExport, spbSEImport, spbColCount})
    toolbar << button;
  panels << toolbar << QList<QWidget *>{btnSuchen};
  for (QList<QWidget *> &panel : panels)
    panel.removeIf([this](QWidget *w) { return !w->isVisibleTo(this) || !w->isEnabled(); });
  panels.removeIf([](const QList<QWidget *> &panel) { return panel.isEmpty(); });
  return panels;
}

// Focus into a stop: the start menu at the area shown, an area at its first entry.
static void EnterStop(QWidget *stop, Qt::FocusReason reason) {
  if (auto *startMenu = qobject_cast<TQVNBtnPanel *>(stop)) {
    const QList<TQVNPanelButton *> buttons = startMenu->findChildren<TQVNPanelButton *>();
    for (TQVNPanelButton *b : buttons)
      if (b->Index() == startMenu->Selected() && b->isVisible()) {
        b->setFocus(reason);
        return;
      }
  }
  if (auto *page = qobject_cast<TTabSheet *>(stop))
    if (auto *menu = page->findChild<TButtons *>()) {
      menu->setFocus(reason);
      return;
    }
  stop->setFocus(reason);
}

void TfrmWexoentree::MoveFocusPanel(bool next, bool wholePanels) {
  const QList<QList<QWidget *>> panels = FocusPanels();
  QList<QWidget *> stops;
  QList<int> panelOf;
  for (qsizetype p = 0; p < panels.size(); ++p)
    for (QWidget *w : panels[p]) {
      stops << w;
      panelOf << int(p);
    }
  if (stops.isEmpty())
    return;
  QWidget *focus = focusWidget();
  qsizetype at = -1;
  for (qsizetype i = 0; i < stops.size() && at < 0; ++i)
    if (focus && (stops[i] == focus || stops[i]->isAncestorOf(focus)))
      at = i;
  qsizetype to;
  if (at < 0)
    to = next ? 0 : stops.size() - 1;
  else if (!wholePanels)
    to = (at + (next ? 1 : stops.size() - 1)) % stops.size();
  else {
    const int panel = (panelOf[at] + (next ? 1 : int(panels.size()) - 1)) % int(panels.size());
    to = panelOf.indexOf(panel);
  }
  EnterStop(stops[to], next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool TfrmWexoentree::focusNextPrevChild(bool next) {
  MoveFocusPanel(next, false);
  return true;
}

void TfrmWexoentree::InstallPanelKeys() {
  auto *forward = new QShortcut(QKeySequence(Qt::Key_F6), this);
  connect(forward, &QShortcut::activated, this, [this] { MoveFocusPanel(true, true); });
  auto *back = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
  connect(back, &QShortcut::activated, this, [this] { MoveFocusPanel(false, true); });
}
