// The quick entries: their grid of one to five columns and their commands.
#include "wexoentreefrm.h"

#include "framework/qvnguard.h"
#include "framework/qvnmessage.h"

#include <QCursor>
#include <QShortcut>

namespace {
const char *const kColCountGlyphs[] = {"ZAHL1RED", "ZAHL2RED", "ZAHL3RED", "ZAHL4RED", "ZAHL5RED"};
}

void TfrmWexoentree::LoadSchnellEinstiege() {
  QVNGuard(QStringLiteral("TfrmWexoentree.LoadSchnellEinstiege"), [&] {
    const TContexte before = FSchnellEinstiege;
    FSchnellEinstiege.clear();
    wexodm->LoadSchnellEinstiege(FSchnellEinstiege, true);
    QList<bool> refused;
    refused.reserve(FSchnellEinstiege.size());
    for (const TContextSatz &entry : FSchnellEinstiege)
      refused << wexodm->IsOperationRefused(entry.Operation, entry.Arguments);
    // The search prepares them anew only when they, or what is refused of them, changed.
    if (FSchnellEinstiege != before || refused != FSchnellEinstiegeRefused) {
      ++FSchnellEinstiegeStamp;
      FSchnellEinstiegeRefused = refused;
    }
    TVTStringList *view = vtSchnellEinstiegView;
    view->BeginUpdate();
    QVNGuard(QStringLiteral("TfrmWexoentree.LoadSchnellEinstiege"), [&] {
      view->Clear();
      view->ClearColumns();
      const int setting = spbColCount->Tag();
      const int clamped = qBound(0, setting, 4);
      if (clamped != setting) {
        spbColCount->SetTag(clamped);
        New_spbColCount_Image();
      }
      const int columns = clamped + 1;
      for (int d = 0; d < columns; ++d)
        view->AddColumn();
      const int count = int(FSchnellEinstiege.size());
      int rows = count / columns;
      if (count > rows * columns)
        ++rows;
      for (int r = 0; r < rows; ++r) {
        const int node = view->AddChild(-1);
        auto *list = new TStringList;
        view->SetNodeData(node, list);
        for (int d = 0; d < columns; ++d) {
          const int i = r + rows * d;
          if (i >= 0 && i <= count - 1) {
            const TContextSatz &entry = FSchnellEinstiege.at(i);
            if (refused.at(i)) {
              list->Ghosted.insert(list->Count());
              list->AddObject(entry.Name + QStringLiteral(" (gesperrt)"), i);
            } else {
              list->AddObject(entry.Name, i);
            }
          }
        }
      }
      SetColWidthSEView();
    });
    view->EndUpdate();
  });
}

int TfrmWexoentree::GetSE4FocusedColumn(TVTStringList *view) {
  int result = -1;
  QVNGuard(QStringLiteral("TfrmWexoentree.GetSE4FocusedColumn"), [&] {
    if (!view || view->FocusedNode() < 0)
      return;
    const TStringList *list = view->GetNodeData(view->FocusedNode());
    if (!list)
      return;
    const int column = view->FocusedColumn();
    if (column < 0 || column >= list->Count())
      return;
    const qintptr i = list->Objects.at(column);
    if (i >= 0 && i <= FSchnellEinstiege.size() - 1)
      result = int(i);
  });
  return result;
}

void TfrmWexoentree::HandleSE(quint8 operation, TVTStringList *view) {
  QVNGuard(QStringLiteral("TfrmWexoentree.HandleSE"), [&] {
    int i = -1;
    if (operation >= 2 && operation <= 6) {
      if (!view)
        return;
      i = GetSE4FocusedColumn(vtSchnellEinstiegView);
      if (i < 0 || i > FSchnellEinstiege.size() - 1)
        return;
    }
    // A failure names the command and the entry it was meant for.
    const QString name = i >= 0 ? FSchnellEinstiege.at(i).Name : QString();
    const char *verbs[] = {"", "angelegt", "bearbeitet", "ausgeführt", "gelöscht", "kopiert", "exportiert", ""};
    if (operation == 7)
      QVNMessages()->SetWhat(QStringLiteral("TfrmWexoentree.HandleSE"),
                             QStringLiteral("Die Schnelleinstiege konnten nicht importiert werden"));
    else if (operation >= 1 && operation <= 6)
      QVNMessages()->SetWhat(QStringLiteral("TfrmWexoentree.HandleSE"),
                             // A new entry has no name yet: its text has one placeholder, the verb.
                             name.isEmpty() ? QStringLiteral("Der Schnelleinstieg konnte nicht %1 werden")
                                                  .arg(QString::fromUtf8(verbs[operation]))
                                            : QStringLiteral("Der Schnelleinstieg „%1“ konnte nicht %2 werden")
                                                  .arg(name, QString::fromUtf8(verbs[operation])));
    switch (operation) {
    case 1: wexodm->SchnellEinstiegNeuAnlage(); break;
    case 2: wexodm->SchnellEinstiegBearbeiten(FSchnellEinstiege.at(i)); break;
    case 3: wexodm->SchnellEinstiegExecute(FSchnellEinstiege.at(i)); break;
    case 4: wexodm->DeleteSchnellEintieg(FSchnellEinstiege.at(i)); break;
    case 5: wexodm->SchnellEinstiegKopieren(FSchnellEinstiege.at(i)); break;
    case 6: wexodm->SchnellEinstiegExportieren(FSchnellEinstiege.at(i)); break;
    case 7: wexodm->SchnellEinstiegImportieren(); break;
    default: return;
    }
    if (operation == 1 || operation == 2 || operation == 4 || operation == 5 || operation == 7)
      LoadSchnellEinstiege();
  });
}

void TfrmWexoentree::acSchnelleinNeuAnlageExecute(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.acSchnelleinNeuAnlageExecute"),
           [&] { RunHidden([&] { HandleSE(1, nullptr); }); });
}

void TfrmWexoentree::acSchnelleinBearbeitenExecute(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.acSchnelleinBearbeitenExecute"), [&] { HandleSE(2, vtSchnellEinstiegView); });
}

void TfrmWexoentree::acSchnelleinAusfuehrenExecute(QObject *Sender) {
  if (!Sender)
    Sender = sender();
  QVNGuard(QStringLiteral("TfrmWexoentree.acSchnelleinAusfuehrenExecute"), [&] {
    // Any sender stands for the quick-entry view; HandleSE always acts on its focused cell.
    TVTStringList *view = qobject_cast<TVTStringList *>(Sender);
    if (!view && Sender)
      view = vtSchnellEinstiegView;
    HandleSE(3, view);
  });
}

void TfrmWexoentree::actSchnelleinLoeschenExecute(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.actSchnelleinLoeschenExecute"), [&] { HandleSE(4, vtSchnellEinstiegView); });
}

void TfrmWexoentree::acSchnelleinKopierenExecute(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.acSchnelleinKopierenExecute"), [&] { HandleSE(5, vtSchnellEinstiegView); });
}

void TfrmWexoentree::acSchnelleinExportierenExecute(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.acSchnelleinExportierenExecute"),
           [&] { HandleSE(6, vtSchnellEinstiegView); });
}

void TfrmWexoentree::acSchnelleinImportierenExecute(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.acSchnelleinImportierenExecute"),
           [&] { HandleSE(7, vtSchnellEinstiegView); });
}

void TfrmWexoentree::vtSchnellEinstiegViewClick(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.vtSchnellEinstiegViewClick"), [&] { HandleSE(3, vtSchnellEinstiegView); });
}

void TfrmWexoentree::vtSchnellEinstiegViewGetCursor(TVTStringList *Sender, int &Cursor) {
  QVNGuard(QStringLiteral("TfrmWexoentree.vtSchnellEinstiegViewGetCursor"), [&] {
    const QPoint p = Sender->viewport()->mapFromGlobal(QCursor::pos());
    if (Sender->GetNodeAt(p) >= 0)
      Cursor = crHandPoint;
  });
}

void TfrmWexoentree::vtSchnellEinstiegViewResize(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.vtSchnellEinstiegViewResize"), [&] { SetColWidthSEView(); });
}

void TfrmWexoentree::spbColCountClick(QObject *Sender) {
  if (!Sender)
    Sender = sender();
  QVNGuard(QStringLiteral("TfrmWexoentree.spbColCountClick"), [&] {
    if (!Sender || Sender != spbColCount)
      return;
    spbColCount->SetTag((spbColCount->Tag() + 1) % 5);
    New_spbColCount_Image();
    LoadSchnellEinstiege();
  });
}

void TfrmWexoentree::spbColCountContextPopup(QObject *Sender, const QPoint &, bool &Handled) {
  QVNGuard(QStringLiteral("TfrmWexoentree.spbColCountContextPopup"), [&] {
    if (!Sender || Sender != spbColCount)
      return;
    Handled = true;
    spbColCount->SetTag((spbColCount->Tag() + 4) % 5);
    New_spbColCount_Image();
    LoadSchnellEinstiege();
  });
}

void TfrmWexoentree::New_spbColCount_Image() {
  QVNGuard(QStringLiteral("TfrmWexoentree.New_spbColCount_Image"), [&] {
    const int setting = spbColCount->Tag();
    if (setting < 0 || setting > 4)
      return;
    spbColCount->GetResourceGlyph()->SetGlyph(TGlyphType(0), TGlyphSizeType(0),
                                              QString::fromLatin1(kColCountGlyphs[setting]));
  });
}

void TfrmWexoentree::SetColWidthSEView() {
  QVNGuard(QStringLiteral("TfrmWexoentree.SetColWidthSEView"), [&] {
    TVTStringList *view = vtSchnellEinstiegView;
    int w = 180;
    const int columns = view->ColumnCount();
    if (columns >= 1)
      w = (view->ClientWidth() - 20) / columns;
    if (columns > 1 && w < 180)
      w = 180;
    for (int c = 0; c < columns; ++c)
      view->SetColumnWidth(c, w);
  });
}

// The toolbar's commands by key while the focus is in the quick-entry panel
// (its list or its toolbar), each key shown in its button's tooltip. None of
// them is a single letter or Strg+Alt, which the window's actions use.
void TfrmWexoentree::InstallToolbarKeys() {
  const struct {
    TResBitBtn *Button;
    QKeySequence Key;
    const char *Text;
  } keys[] = {{spbSENew, QKeySequence(Qt::Key_Insert), "Einfg"},
              {spbSEEdit, QKeySequence(Qt::Key_F2), "F2"},
              {spbSEDelete, QKeySequence(Qt::Key_Delete), "Entf"},
              {spbSERun, QKeySequence(Qt::CTRL | Qt::Key_Return), "Strg+Eingabe"},
              {spbSECopy, QKeySequence(Qt::CTRL | Qt::Key_D), "Strg+D"},
              {spbSEExport, QKeySequence(Qt::CTRL | Qt::Key_E), "Strg+E"},
              {spbSEImport, QKeySequence(Qt::CTRL | Qt::Key_I), "Strg+I"},
              {spbColCount, QKeySequence(Qt::CTRL | Qt::Key_L), "Strg+L"}};
  for (const auto &k : keys) {
    auto *shortcut = new QShortcut(k.Key, aqdcSelektionen);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    TResBitBtn *button = k.Button;
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled())
        button->click();
    });
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->toolTip(), QString::fromLatin1(k.Text)));
  }
}
