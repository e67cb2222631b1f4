// Which entries of the button menus the user sees.
#include "wexoentreefrm.h"

#include "framework/qvnguard.h"

void TfrmWexoentree::BuildMenuInfo(TButtonsCollItem *item, const QString &areaText, TWexoEntreeMenueInfo &info) {
  QVNGuard(QStringLiteral("TfrmWexoentree.BuildMenuInfo"), [&] {
    info = CQVN_LeereWexoEntreeMenueInfo;
    info.MenuCaption = item->LeftCaption();
    info.Tag = item->Tag;
    info.Visible = item->Visible();
    info.AreaText = areaText;
  });
}

namespace {
// The button menu on the page a start-menu button leads to, or none.
TButtons *PageMenu(TfrmWexoentree *form, TPnlButtonsCollItem *button) {
  TWexoEntreeTabSheetInfos page;
  TWexoEntreeTabSheetInfosHelper::Clear(page);
  form->GetTabSheetInfos(button->LinkedTabSheet(), page);
  return page.BtnsMore;
}
} // namespace

void TfrmWexoentree::btnsMoreToMenueInfos(TWexoEntreeMenueInfos &infos) {
  QVNGuard(QStringLiteral("TfrmWexoentree.btnsMoreToMenueInfos"), [&] {
    infos.clear();
    TPnlButtonsColl *buttons = btnpnStartMenu->Buttons();
    for (int i = 0; i < buttons->Count(); ++i) {
      TPnlButtonsCollItem *button = buttons->Items(i);
      TButtons *menu = PageMenu(this, button);
      if (!menu)
        continue;
      TButtonsCollection *items = menu->Items();
      for (int j = 0; j < items->Count(); ++j) {
        TButtonsCollItem *item = items->Items(j);
        if (item->Tag <= 0)
          continue;
        TWexoEntreeMenueInfo info;
        BuildMenuInfo(item, button->BtnCaption(), info);
        TWexoEntreeMenueIHelper::AppendToEnd(info, infos);
      }
    }
  });
}

void TfrmWexoentree::MenueInfosTobtnsMore(const TWexoEntreeMenueInfos &infos) {
  // The first stored info with the tag decides; none found leaves the entry as it is.
  auto tagFound = [&](qint32 tag, bool &visible) {
    bool found = false;
    QVNGuard(QStringLiteral("TfrmWexoentree.MenueInfosTobtnsMore._TagFound"), [&] {
      visible = true;
      for (const TWexoEntreeMenueInfo &info : infos)
        if (info.Tag == tag) {
          visible = info.Visible;
          found = true;
          return;
        }
    });
    return found;
  };
  // The permission test; an entry counts as allowed when the test fails.
  auto isMenuPunktAllowed = [&](TButtonsCollItem *item, const QString &areaText) {
    bool allowed = true;
    QVNGuard(QStringLiteral("IsMenuPunktAllowed"), [&] {
      TWexoEntreeMenueInfo info;
      BuildMenuInfo(item, areaText, info);
      allowed = wexodm->GetwexooptvisiDlg()->IsMenuePunktErlaubt(info);
    });
    return allowed;
  };
  auto setTopButton = [&](TButtons *menu) {
    QVNGuard(QStringLiteral("_SetTopButton"), [&] {
      TButtonsCollection *items = menu->Items();
      for (int j = 0; j < items->Count(); ++j)
        if (items->Items(j)->Visible()) {
          menu->SetTopItem(j);
          return;
        }
    });
  };

  TPnlButtonsColl *buttons = btnpnStartMenu->Buttons();
  buttons->BeginUpdate();
  // Which dialog each entry opens and whether it may: the data module refuses by it on every route.
  QHash<QString, bool> permissions;
  QVNGuard(QStringLiteral("TfrmWexoentree.MenueInfosTobtnsMore"), [&] {
    for (int i = 0; i < buttons->Count(); ++i) {
      TPnlButtonsCollItem *button = buttons->Items(i);
      TButtons *menu = PageMenu(this, button);
      if (!menu)
        continue;
      bool hasVisible = false;
      TButtonsCollection *items = menu->Items();
      for (int j = 0; j < items->Count(); ++j) {
        TButtonsCollItem *item = items->Items(j);
        if (item->Tag > 0) {
          bool visible = true;
          const bool allowed = isMenuPunktAllowed(item, button->BtnCaption());
          // A lifted refusal gives the entry back the visibility it had.
          if (!allowed && !FVisibleBeforeRefusal.contains(item))
            FVisibleBeforeRefusal.insert(item, item->Visible());
          else if (allowed && FVisibleBeforeRefusal.contains(item))
            item->SetVisible(FVisibleBeforeRefusal.take(item));
          if (!allowed)
            item->SetVisible(false);
          else if (tagFound(item->Tag, visible))
            item->SetVisible(visible);
          if (const QString key = JournalKeyOf(item->Button()->Action()); !key.isEmpty()) {
            auto it = permissions.find(key);
            if (it == permissions.end())
              permissions.insert(key, allowed);
            else
              *it = *it && allowed;
          }
          // A refused entry runs by no route: its action, and so its key, is off.
          // An entry the user merely hid keeps its key.
          if (QAction *action = item->Button()->Action())
            action->setEnabled(allowed);
        }
        if (item->Visible())
          hasVisible = true;
      }
      setTopButton(menu);
      if (QAction *action = button->BtnAction()) {
        action->setVisible(hasVisible);
        action->setEnabled(hasVisible);
      }
    }
  });
  buttons->EndUpdate();
  wexodm->SetMenuPermissions(permissions);
}

void TfrmWexoentree::acESichtMenuExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acESichtMenuExecute"), [&] {
    TWexoEntreeMenueInfos infos;
    btnsMoreToMenueInfos(infos);
    if (wexodm->OptionenSichtbareMenuepunkte(infos)) {
      wexodm->SaveEntreeMenueInfos(infos);
      MenueInfosTobtnsMore(infos);
    }
  });
}
