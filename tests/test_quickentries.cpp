// Quick entries: column-major grid, the commands on the focused cell, and the
// column-count button with its stored setting.
#include <QtTest>

#include "components/actionlist.h"
#include "wexotesting.h"

using A = TfrmWexoentreeTestAccess;

namespace {
TContexte Entries(int n) {
  TContexte list;
  for (int i = 0; i < n; ++i)
    list.append(TContextSatz{i + 1, QStringLiteral("E%1").arg(i), QStringLiteral("WEListe"), QString()});
  return list;
}

void Focus(TfrmWexoentree *f, int row, int column) { f->vtSchnellEinstiegView->SetFocusedCell(row, column); }
} // namespace

class TestQuickEntries : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void columnMajorLayout_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("setting");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("7 in 3") << 7 << 2 << QStringList{"E0|E3|E6", "E1|E4", "E2|E5"};
    QTest::newRow("4 in 3") << 4 << 2 << QStringList{"E0|E2", "E1|E3"};
    QTest::newRow("none in 2") << 0 << 1 << QStringList{};
    QTest::newRow("3 in 1") << 3 << 0 << QStringList{"E0", "E1", "E2"};
  }

  void columnMajorLayout() {
    QFETCH(int, entries);
    QFETCH(int, setting);
    QFETCH(QStringList, rows);
    TWindowFixture fx([&](TScriptedWexodm &d) { d.Entries = Entries(entries); });
    fx.F()->spbColCount->SetTag(setting);
    fx.F()->LoadSchnellEinstiege();
    QCOMPARE(fx.F()->vtSchnellEinstiegView->ColumnCount(), setting + 1);
    QCOMPARE(RowTexts(fx.F()->vtSchnellEinstiegView), rows);
  }

  // Reached by Tab after a reload, the list focuses its first cell, where its
  // frame shows and the commands act; a click leaves the choice to the click.
  void keyboardArrivalFocusesTheFirstCell() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Entries = Entries(3); });
    TfrmWexoentree *f = fx.F();
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    f->LoadSchnellEinstiege();
    f->vtSchnellEinstiegView->setFocus(Qt::MouseFocusReason);
    QCOMPARE(f->GetSE4FocusedColumn(f->vtSchnellEinstiegView), -1);
    f->btnBeenden->setFocus(Qt::TabFocusReason);
    f->vtSchnellEinstiegView->setFocus(Qt::TabFocusReason);
    QCOMPARE(f->GetSE4FocusedColumn(f->vtSchnellEinstiegView), 0);
  }

  void commandsActOnTheFocusedCell() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Entries = Entries(7); });
    TfrmWexoentree *f = fx.F();
    f->spbColCount->SetTag(2);
    f->LoadSchnellEinstiege();
    Focus(f, 1, 1); // entry 4
    QCOMPARE(f->GetSE4FocusedColumn(f->vtSchnellEinstiegView), 4);
    fx.D().Calls.clear();
    // A reload empties the view, so the cell is focused again before each command.
    for (const auto &command : std::initializer_list<std::function<void()>>{
             [&] { f->acSchnelleinBearbeitenExecute(); }, [&] { f->acSchnelleinKopierenExecute(); },
             [&] { f->actSchnelleinLoeschenExecute(); }, [&] { f->acSchnelleinExportierenExecute(); },
             [&] { f->vtSchnellEinstiegViewClick(f->vtSchnellEinstiegView); }}) {
      Focus(f, 1, 1);
      command();
    }
    QCOMPARE(fx.D().Operations(), QStringList({"SchnellEinstiegBearbeiten", "SchnellEinstiegKopieren",
                                               "DeleteSchnellEintieg", "SchnellEinstiegExportieren",
                                               "SchnellEinstiegExecute"}));
    for (const TCall &c : fx.D().Calls) {
      QCOMPARE(c.Arguments, QString("E4"));
      QVERIFY(c.WindowVisible);
    }
  }

  // Each toolbar command runs by its key from the list, and says its key in
  // its tooltip; no key is one the window's actions use.
  void everyToolbarCommandRunsByItsKey() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Entries = Entries(7); });
    TfrmWexoentree *f = fx.F();
    QApplication::setActiveWindow(f);
    f->LoadSchnellEinstiege();
    const struct {
      Qt::Key Key;
      Qt::KeyboardModifiers Modifiers;
      const char *Operation;
      TResBitBtn *Button;
      const char *Text;
    } keys[] = {{Qt::Key_Insert, Qt::NoModifier, "SchnellEinstiegNeuAnlage", f->spbSENew, "Einfg"},
                {Qt::Key_F2, Qt::NoModifier, "SchnellEinstiegBearbeiten", f->spbSEEdit, "F2"},
                {Qt::Key_Delete, Qt::NoModifier, "DeleteSchnellEintieg", f->spbSEDelete, "Entf"},
                {Qt::Key_Return, Qt::ControlModifier, "SchnellEinstiegExecute", f->spbSERun, "Strg+Eingabe"},
                {Qt::Key_D, Qt::ControlModifier, "SchnellEinstiegKopieren", f->spbSECopy, "Strg+D"},
                {Qt::Key_E, Qt::ControlModifier, "SchnellEinstiegExportieren", f->spbSEExport, "Strg+E"},
                {Qt::Key_I, Qt::ControlModifier, "SchnellEinstiegImportieren", f->spbSEImport, "Strg+I"}};
    for (const auto &k : keys) {
      QApplication::setActiveWindow(f); // a dialog hid the window, offscreen nobody activates it again
      Focus(f, 0, 0);
      f->vtSchnellEinstiegView->setFocus();
      fx.D().Calls.clear();
      QTest::keyClick(f->vtSchnellEinstiegView, k.Key, k.Modifiers);
      QCOMPARE(fx.D().Operations(), QStringList({k.Operation}));
      QVERIFY(k.Button->toolTip().endsWith(QString("(%1)").arg(k.Text)));
      QVERIFY(k.Button->focusPolicy() & Qt::TabFocus);
      const TShortCut sc = ShortCutFromKeySequence(QKeySequence(k.Key | k.Modifiers));
      for (QAction *a : TActionList::ActionsOf(f))
        QVERIFY2(ActionShortCut(a) == 0 || ActionShortCut(a) != sc, qPrintable(a->objectName()));
    }
    // The column count by its key too.
    const int columns = f->vtSchnellEinstiegView->ColumnCount();
    QApplication::setActiveWindow(f);
    f->vtSchnellEinstiegView->setFocus();
    QTest::keyClick(f->vtSchnellEinstiegView, Qt::Key_L, Qt::ControlModifier);
    QVERIFY(f->vtSchnellEinstiegView->ColumnCount() != columns);
  }

  void anEmptyFocusedCellDoesNothing() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Entries = Entries(4); });
    TfrmWexoentree *f = fx.F();
    f->spbColCount->SetTag(2);
    f->LoadSchnellEinstiege();
    Focus(f, 0, 2);
    QCOMPARE(f->GetSE4FocusedColumn(f->vtSchnellEinstiegView), -1);
    fx.D().Calls.clear();
    for (quint8 code : {2, 3, 4, 5, 6})
      f->HandleSE(code, f->vtSchnellEinstiegView);
    QVERIFY(fx.D().Calls.isEmpty());
    f->HandleSE(3, nullptr);
    f->HandleSE(9, f->vtSchnellEinstiegView);
    QVERIFY(fx.D().Calls.isEmpty());
    QVERIFY(fx.Reports().isEmpty());
  }

  void noEntriesNewAndImportStillWork() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    fx.D().Calls.clear();
    f->acSchnelleinAusfuehrenExecute(f->spbSERun);
    f->acSchnelleinBearbeitenExecute();
    QVERIFY(fx.D().Calls.isEmpty());
    f->acSchnelleinNeuAnlageExecute();
    f->acSchnelleinImportierenExecute();
    QCOMPARE(fx.D().Operations(), QStringList({"SchnellEinstiegNeuAnlage", "SchnellEinstiegImportieren"}));
    QVERIFY(!fx.D().Calls.at(0).WindowVisible); // only "new" hides the window
    QVERIFY(fx.D().Calls.at(1).WindowVisible);
  }

  void changingCommandsReloadRunAndExportDoNot() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Entries = Entries(2); });
    TfrmWexoentree *f = fx.F();
    Focus(f, 0, 0);
    struct Case {
      quint8 code;
      bool reloads;
    };
    for (const Case c : {Case{1, true}, Case{2, true}, Case{3, false}, Case{4, true}, Case{5, true}, Case{6, false},
                         Case{7, true}}) {
      fx.D().Entries = Entries(2);
      f->LoadSchnellEinstiege();
      Focus(f, 0, 0);
      fx.D().Entries = Entries(5);
      f->HandleSE(c.code, f->vtSchnellEinstiegView);
      QCOMPARE(A::SchnellEinstiege(f).size(), c.reloads ? 5 : 2);
    }
  }

  void aFailingCommandIsReportedAndNotReloaded() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Entries = Entries(2);
      d.Raise.insert("SchnellEinstiegKopieren");
      d.Raise.insert("SchnellEinstiegNeuAnlage");
    });
    TfrmWexoentree *f = fx.F();
    Focus(f, 0, 0);
    fx.D().Entries = Entries(3);
    QVNMessages()->Shown.clear();
    f->acSchnelleinKopierenExecute();
    QCOMPARE(fx.Reports(), QStringList({"TfrmWexoentree.HandleSE"}));
    QCOMPARE(A::SchnellEinstiege(f).size(), 2);
    // The user sees it once, with the entry's name; a new entry has none yet.
    QCOMPARE(QVNMessages()->Shown.size(), 1);
    QVERIFY(QVNMessages()->Shown.first().startsWith(
        QString::fromUtf8("Der Schnelleinstieg „%1“ konnte nicht kopiert werden:").arg(A::SchnellEinstiege(f).first().Name)));
    QVNMessages()->Shown.clear();
    f->acSchnelleinNeuAnlageExecute();
    QVERIFY2(QVNMessages()->Shown.value(0).startsWith(QString::fromUtf8("Der Schnelleinstieg konnte nicht angelegt werden:")),
             qPrintable(QVNMessages()->Shown.value(0)));
  }

  void aFailingImportAndAnUnknownTargetEachShowOneMessage() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Entries = Entries(1);
      d.Raise.insert("SchnellEinstiegImportieren");
    });
    QVNMessages()->Shown.clear();
    fx.F()->acSchnelleinImportierenExecute();
    QCOMPARE(QVNMessages()->Shown.size(), 1);
    QVERIFY(QVNMessages()->Shown.first().startsWith(QString::fromUtf8("Die Schnelleinstiege konnten nicht importiert werden")));
    // A target no data module knows: the real data module refuses it in the user's words.
    TTestEnvironment env;
    Twexodm dm(env.Store.get());
    wexodm = &dm;
    {
      TfrmWexoentree form;
      form.show();
      env.Store->Exec("DELETE FROM quick_entries");
      env.Store->Exec("INSERT INTO quick_entries (position, name, operation, arguments) VALUES (0, 'Alt', 'Entfallen', '')");
      form.LoadSchnellEinstiege();
      form.vtSchnellEinstiegView->SetFocusedCell(0, 0);
      QVNMessages()->Shown.clear();
      QTest::qWait(1); // a new user action
      form.vtSchnellEinstiegViewClick(&form);
      QCOMPARE(QVNMessages()->Shown.size(), 1);
      QVERIFY2(QVNMessages()->Shown.first().contains(QString::fromUtf8("„Entfallen“ des Schnelleinstiegs ist unbekannt")),
               qPrintable(QVNMessages()->Shown.first()));
    }
    wexodm = fx.Dm.get();
  }

  void rightClickFocusesTheCellAndThePopupActsOnIt() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Entries = Entries(3); });
    TfrmWexoentree *f = fx.F();
    TVTStringList *v = f->vtSchnellEinstiegView;
    const QPoint p = v->visualRect(v->model()->index(2, 0)).center();
    QTest::mouseClick(v->viewport(), Qt::RightButton, {}, p);
    QCOMPARE(v->FocusedNode(), 2);
    fx.D().Calls.clear();
    f->pmiAusfuehren->trigger();
    f->pmiLoeschen->trigger();
    QCOMPARE(fx.D().Operations(), QStringList({"SchnellEinstiegExecute", "DeleteSchnellEintieg"}));
    QCOMPARE(fx.D().Calls.first().Arguments, QString("E2"));
    QStringList menu;
    for (QAction *a : f->pumSelektion->actions())
      menu << a->objectName();
    QCOMPARE(menu, QStringList({"pmiAusfuehren", "pmiNeuAnlage", "pmiBearbeiten", "pmiKopieren", "pmiLoeschen",
                                "pmiExport", "pmiImport"}));
  }

  void handCursorOverRowsOnly() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Entries = Entries(3); });
    TfrmWexoentree *f = fx.F();
    f->spbColCount->SetTag(1);
    f->LoadSchnellEinstiege();
    TVTStringList *v = f->vtSchnellEinstiegView;
    const QRect emptyCell = v->visualRect(v->model()->index(1, 1)); // row 1 has one entry only
    QCursor::setPos(v->viewport()->mapToGlobal(emptyCell.center()));
    int cursor = crDefault;
    f->vtSchnellEinstiegViewGetCursor(v, cursor);
    QCOMPARE(cursor, crHandPoint);
    QCursor::setPos(v->viewport()->mapToGlobal(QPoint(5, emptyCell.bottom() + 40)));
    cursor = crDefault;
    f->vtSchnellEinstiegViewGetCursor(v, cursor);
    QCOMPARE(cursor, crDefault);
  }

  void columnButtonCyclesBothWays() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QCOMPARE(f->spbColCount->GetResourceGlyph()->GlyphName(), QString("ZAHL1RED"));
    bool handled = false;
    f->spbColCountContextPopup(f->spbColCount, {}, handled);
    QVERIFY(handled);
    QCOMPARE(f->spbColCount->Tag(), 4);
    QCOMPARE(f->vtSchnellEinstiegView->ColumnCount(), 5);
    QCOMPARE(f->spbColCount->GetResourceGlyph()->GlyphName(), QString("ZAHL5RED"));
    f->spbColCount->click();
    QCOMPARE(f->spbColCount->Tag(), 0);
    f->spbColCount->click();
    QCOMPARE(f->spbColCount->GetResourceGlyph()->GlyphName(), QString("ZAHL2RED"));
    handled = false;
    f->spbColCountContextPopup(f->spbSERun, {}, handled); // another sender does nothing
    QVERIFY(!handled);
    QCOMPARE(f->spbColCount->Tag(), 1);
  }

  void aStoredSevenIsClampedAndSavedAsFour() {
    TTestEnvironment env;
    env.Store->Exec("INSERT INTO form_store (form_id, index_name, property, value) VALUES ('DEU.WEXO.WEXOENTR', "
                    "'TEST-PC', 'spbColCount.Tag', '7')");
    TScriptedWexodm dm;
    wexodm = &dm;
    {
      TfrmWexoentree f;
      QCOMPARE(f.spbColCount->Tag(), 7);
      f.New_spbColCount_Image();
      QCOMPARE(f.spbColCount->GetResourceGlyph()->GlyphName(), QString("ZAHL2RED")); // left unchanged
      f.show();
      QCOMPARE(f.spbColCount->Tag(), 4);
      QCOMPARE(f.vtSchnellEinstiegView->ColumnCount(), 5);
      QCOMPARE(f.spbColCount->GetResourceGlyph()->GlyphName(), QString("ZAHL5RED"));
      f.close();
    }
    wexodm = nullptr;
    QCOMPARE(env.Store->Scalar("SELECT value FROM form_store WHERE property = 'spbColCount.Tag'").toString(),
             QString("4"));
  }

  void columnWidths() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    TVTStringList *v = f->vtSchnellEinstiegView;
    auto widthsAt = [&](int clientWidth, int setting) {
      f->spbColCount->SetTag(setting);
      f->LoadSchnellEinstiege();
      v->resize(clientWidth + (v->width() - v->ClientWidth()), v->height());
      f->SetColWidthSEView();
      QList<int> widths;
      for (int c = 0; c < v->ColumnCount(); ++c)
        widths << v->ColumnWidthAt(c);
      return widths;
    };
    f->aqdcSelektionen->setMinimumWidth(0);
    QCOMPARE(widthsAt(300, 0), QList<int>({280}));
    QCOMPARE(widthsAt(300, 1), QList<int>({180, 180}));
    QCOMPARE(widthsAt(300, 2), QList<int>({180, 180, 180}));
    QCOMPARE(widthsAt(1000, 4), QList<int>({196, 196, 196, 196, 196}));
  }
};

QTEST_MAIN(TestQuickEntries)
#include "test_quickentries.moc"
