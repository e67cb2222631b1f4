// The window's life: creation, showing, direct start modes, exit, layout
// rebuild, and the docking layout kept per workstation.
#include <QCryptographicHash>
#include <cmath>
#include <QStandardPaths>
#include <QtTest>
#include <QLockFile>
#include <sys/wait.h>
#include <unistd.h>

#include "components/dockstate.h"
#include "framework/commatext.h"
#include "framework/qvnguard.h"
#include "wexotesting.h"

using A = TfrmWexoentreeTestAccess;

namespace {
// A dock state as Qt writes it, put together here so each rule of the reader
// can be broken alone: areas of panels (area, size, tab index or -1 for a
// sequence, panel names with their flags), and what follows them.
struct TPanel {
  QString Name;
  quint8 Flags = 1; // visible
};
struct TArea {
  qint32 Area;
  qint32 Tab = -1;
  QList<TPanel> Panels;
};
QByteArray DockState(const QList<TArea> &areas, const QByteArray &tail = {}) {
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  out.setVersion(QDataStream::Qt_5_0);
  out << qint32(0xff) << qint32(1) << quint8(0xfd) << qint32(areas.size());
  for (const TArea &a : areas) {
    out << a.Area << qint32(300) << qint32(500);
    if (a.Tab >= 0)
      out << quint8(0xfa) << a.Tab;
    else
      out << quint8(0xfc);
    out << quint8(2) << qint32(a.Panels.size());
    for (const TPanel &p : a.Panels)
      out << quint8(0xfb) << p.Name << p.Flags << qint32(0) << qint32(200) << qint32(60) << qint32(16777215);
  }
  out << qint32(400) << qint32(500); // the central area
  out << qint32(1) << qint32(2) << qint32(1) << qint32(2);
  out << quint8(0xfc) << qint32(0);
  return bytes + tail;
}

// WCAG's relative luminance and contrast ratio.
double Luminance(QRgb c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}
double Contrast(QRgb a, QRgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}
// The contrast of the text in a picture of a control: its commonest colour is
// the background, the colour farthest from it the ink of the text (the stems
// of the letters are drawn in the full colour of the pen). 0 without text.
double TextContrast(const QImage &picture) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  QHash<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ++counts[image.pixel(x, y)];
  QRgb background = 0;
  int most = -1;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    if (it.value() > most) {
      most = it.value();
      background = it.key();
    }
  double best = 0;
  for (auto it = counts.cbegin(); it != counts.cend(); ++it)
    best = qMax(best, Contrast(it.key(), background));
  return best;
}
} // namespace

class TestWindow : public QObject {
  Q_OBJECT
private Q_SLOTS:
  // Every text of every page, enabled, disabled and greyed, reads at 4.5:1
  // or more against its background: a later colour change cannot fall below.
  void everyTextHasReadableContrast() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->resize(928, 666);
    QStringList low;
    auto check = [&](QWidget *w, const QRect &area, const QString &what) {
      // What is on screen of it: an entry scrolled out of its menu shows nothing to read.
      if (!w->isVisible() || area.isEmpty() || !w->visibleRegion().boundingRect().contains(area))
        return;
      // As on screen: the window's picture, where a control shows what lies below it.
      const double contrast = TextContrast(f->grab(QRect(w->mapTo(f, area.topLeft()), area.size())).toImage());
      if (contrast > 1.01 && contrast < 4.5)
        low << QString("%1: %2").arg(what).arg(contrast, 0, 'f', 2);
    };
    TPnlButtonsColl *areas = f->btnpnStartMenu->Buttons();
    for (int a = 0; a < areas->Count(); ++a) {
      areas->Items(a)->BtnAction()->trigger();
      QApplication::processEvents();
      TTabSheet *page = f->pgcStartMain->ActivePage();
      for (TButtons *menu : page->findChildren<TButtons *>())
        for (TButtonsBtn *b : menu->findChildren<TButtonsBtn *>()) {
          check(b, b->rect(), page->objectName() + "/" + b->objectName());
          // The key letter on its own, at the right end of the entry.
          if (!menu->Items()->Items(b->Index())->RightCaption().isEmpty())
            check(b, QRect(b->width() - 24, 4, 20, b->height() - 8), page->objectName() + "/Taste");
          if (b->isEnabled()) { // the same entry disabled
            b->setEnabled(false);
            check(b, b->rect(), page->objectName() + "/gesperrt");
            b->setEnabled(true);
          }
        }
      for (TQVNStdLabel *label : page->findChildren<TQVNStdLabel *>())
        check(label, label->rect(), label->objectName());
      // The captions of the start buttons, below their pictures.
      for (TQVNPanelButton *b : f->btnpnStartMenu->findChildren<TQVNPanelButton *>())
        check(b, QRect(0, qMin(36, b->height() - 30) + 9, b->width(), b->height() - qMin(36, b->height() - 30) - 9),
              b->objectName());
    }
    // The focus frame of an entry stands out from the entry's fill at 3:1 or more.
    f->acDispositionExecute();
    QApplication::processEvents();
    TButtonsBtn *focused = f->btnsMoreDI->Items()->Items(0)->Button();
    focused->setFocus();
    const QImage frame = focused->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int middle = int(frame.height() / 2);
    const double ratio = frame.devicePixelRatio();
    const double focusContrast = Contrast(frame.pixel(int(1.5 * ratio), middle), frame.pixel(int(6 * ratio), middle));
    if (focusContrast < 3)
      low << QString("Fokusrahmen: %1").arg(focusContrast, 0, 'f', 2);
    check(f->btnBeenden, f->btnBeenden->rect(), "btnBeenden");
    check(f->vstAufgaben->viewport(), f->vstAufgaben->viewport()->rect(), "Aufgaben");
    f->vstAufgaben->SetGhosted(true);
    check(f->vstAufgaben->viewport(), f->vstAufgaben->viewport()->rect(), "Aufgaben ausgegraut");
    f->vstAufgaben->SetGhosted(false);
    QVERIFY2(low.isEmpty(), qPrintable(low.join('\n')));
  }

  // Every control the keyboard reaches shows it: the pixels that change when
  // it gains the focus form a ring of at least 3:1 against what they were,
  // and go again when the focus moves on. Empty and filled lists alike.
  void everyFocusStandsOut() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->resize(928, 666);
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    QCOMPARE(f->vtSchnellEinstiegView->model()->rowCount(), 0);
    QVERIFY(f->vstAufgaben->model()->rowCount() > 0);
    QStringList faint;
    int checked = 0;
    for (QWidget *w : f->findChildren<QWidget *>()) {
      if (!w->isVisible() || !(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled())
        continue;
      f->btnBeenden->setFocus(Qt::TabFocusReason);
      if (w == f->btnBeenden)
        f->btnSuchen->setFocus(Qt::TabFocusReason);
      QApplication::processEvents();
      const QRect area(w->mapTo(f, QPoint(-3, -3)), w->size() + QSize(6, 6));
      const QImage before = f->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
      w->setFocus(Qt::TabFocusReason);
      QApplication::processEvents();
      if (!w->hasFocus()) // a container that hands the focus on
        continue;
      ++checked;
      const QImage focused = f->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
      int ring = 0;
      for (int y = 0; y < focused.height(); ++y)
        for (int x = 0; x < focused.width(); ++x)
          if (Contrast(focused.pixel(x, y), before.pixel(x, y)) >= 3)
            ++ring;
      const QString name = QString("%1 %2").arg(w->metaObject()->className(), w->objectName());
      if (ring < (w->width() + w->height()) / 2)
        faint << QString("%1: %2 Punkte").arg(name).arg(ring);
      (w == f->btnBeenden ? static_cast<QWidget *>(f->btnSuchen) : f->btnBeenden)->setFocus(Qt::TabFocusReason);
      QApplication::processEvents();
      if (f->grab(area).toImage().convertToFormat(QImage::Format_RGB32) != before)
        faint << name + ": bleibt nach dem Fokus";
    }
    QVERIFY(checked >= 20);
    QVERIFY2(faint.isEmpty(), qPrintable(faint.join('\n')));
  }

  // A click shows its place by itself: a button focused by the mouse draws no
  // frame, neither then nor when the focus comes back after its dialog.
  void aClickDrawsNoFocusFrame() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->resize(928, 666);
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    TResBitBtn *b = f->spbSENew;
    f->btnBeenden->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    QVERIFY(b->isVisible());
    const QRect area(b->mapTo(f, QPoint(0, 0)), b->size());
    const QImage unfocused = f->grab(area).toImage();
    b->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    QCOMPARE(f->grab(area).toImage(), unfocused);
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason), back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(b, &away);
    QApplication::sendEvent(b, &back);
    QApplication::processEvents();
    QCOMPARE(f->grab(area).toImage(), unfocused);
  }

  void creationAndFirstShow() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QCOMPARE(A::StartMenuItemIndex(f), 4);
    QCOMPARE(A::SubMenuBtnMaxWidth(f), 361);
    QCOMPARE(f->HelpContext, 320);
    QCOMPARE(f->FormIdentity(), QString("frmWexoentree.") + QVNProgramm()->ProgrammName);
    QCOMPARE(f->fsFormStore->IndexName, QString("TEST-PC"));
    QCOMPARE(f->btnpnStartMenu->Selected(), 4);
    QCOMPARE(f->pgcStartMain->ActivePage(), f->tshArtinfo);
    QCOMPARE(f->windowTitle(), QString("Artikelverwaltung - Testmandant"));
    QCOMPARE(f->pnlAppTitle->Caption(), QString(" Artikelverwaltung"));
    QCOMPARE(f->aqdcSelektionen->Caption(), QString("Schnelleinstieg"));
    QVERIFY(!f->aqDockingManager1->Enabled());
    QVERIFY(f->acMandant->isVisible() && f->acMandant->isEnabled());
    QCOMPARE(fx.D().Count("MandantEinstellen"), 1);
    QVERIFY(fx.Reports().isEmpty());
  }

  void descriptiveTextsKeepTheirBlanksAndBreaks() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QVERIFY(f->lblTextDI->Caption().contains("von ZDQ. \r\nVorschläge"));
    QVERIFY(f->lblTextArtinfo->Caption().contains("Ihrer Artikel. \r\nDie Artikelübersicht"));
    QCOMPARE(f->lblTextRK->Caption().count("  "), 3);
    QCOMPARE(f->lblTextWE->height(), 113);
    QCOMPARE(f->lblTextWE->font().pointSize(), 10);
    QVERIFY(f->lblTextWE->wordWrap());
    QCOMPARE(f->lblHintWA->Caption(), QString("Verwalten Sie hier die Warenannahmen."));
    QCOMPARE(f->lblHintSB->Caption(), QString());
    QCOMPARE(f->lblHintStatistiken->Caption(),
             QString::fromUtf8("Zusätzliche Auswertungen, die die Artikelübersicht und- Einzelinfo ergänzen"));
    // The line break shows as one break, not as a box.
    QVERIFY(!f->lblTextDI->text().contains('\r'));
  }

  void mandLiefSkipsClientSelectionAndHidesItsAction() {
    TWindowFixture fx([](TScriptedWexodm &) { QVNParameter()->SetValue("MANDLIEF", "J"); });
    QVERIFY(!fx.F()->acMandant->isVisible());
    QVERIFY(!fx.F()->acMandant->isEnabled());
    QCOMPARE(fx.D().Count("MandantEinstellen"), 0);
    QCOMPARE(fx.F()->windowTitle(), QString("Artikelverwaltung"));
  }

  void clientSelectionCancelledKeepsTheDesignCaptionUntilShown() {
    TWindowFixture fx(
        [](TScriptedWexodm &d) {
          d.ClientChosen = false;
          d.ExitAllowed = false;
        },
        false);
    QCOMPARE(fx.F()->windowTitle(), QString("APPTITLE"));
    QVERIFY(!fx.F()->WasClosed());
    fx.F()->show();
    QCOMPARE(fx.F()->windowTitle(), QString("Artikelverwaltung"));
  }

  void noClientWithExitAllowedClosesDuringCreation() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.ClientChosen = false; }, false);
    QVERIFY(fx.F()->WasClosed());
  }

  void directStartModes_data() {
    QTest::addColumn<bool>("inventur");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("exitChecks");
    QTest::newRow("Rechnung vor Schnellsuche") << false << 12 << true << QStringList{"RechnungBearbeitenDirekt"} << 1;
    QTest::newRow("Gutschrift") << false << 16 << false << QStringList{"GutschriftBearbeitenDirekt"} << 1;
    QTest::newRow("Schnellsuche") << false << 0 << true << QStringList{"SchnellSucheAusfuehren"} << 1;
    QTest::newRow("anderer Code") << false << 7 << false << QStringList{} << 0;
    QTest::newRow("Inventur und Rechnung") << true << 12 << false
                                           << QStringList{"ArtinfoInventurzaehlung", "RechnungBearbeitenDirekt"} << 2;
  }

  void directStartModes() {
    QFETCH(bool, inventur);
    QFETCH(int, code);
    QFETCH(bool, quick);
    QFETCH(QStringList, expected);
    QFETCH(int, exitChecks);
    TWindowFixture fx([&](TScriptedWexodm &d) {
      d.InventurZaehlungAnfordern = inventur;
      d.DirektBearbeitenCode = quint8(code);
      d.SchnellSucheAnfordern = quick;
      d.ExitAllowed = false; // keeps the window for the checks
    });
    QStringList ran = fx.D().Operations();
    ran.removeAll("MandantEinstellen");
    QCOMPARE(ran, expected);
    QCOMPARE(fx.D().ExitQueries, exitChecks);
    QVERIFY(fx.F()->isEnabled());
    QVERIFY(fx.F()->isVisible());
  }

  void directStartModeClosesWhenExitIsAllowedAlsoAfterAFailure() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.DirektBearbeitenCode = 12;
      d.Raise.insert("RechnungBearbeitenDirekt");
    });
    QVERIFY(fx.F()->WasClosed());
    QVERIFY(fx.F()->isEnabled());
    QVERIFY(fx.Reports().contains("TfrmWexoentree.FormShow"));
  }

  void escapeAsksTheDataModuleTheButtonDoesNot() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.ExitAllowed = false; });
    TfrmWexoentree *f = fx.F();
    QTest::keyClick(f->btnsMoreArtinfo, Qt::Key_Escape);
    QVERIFY(f->isVisible());
    QVERIFY(!f->WasClosed());
    f->btnBeenden->click();
    QVERIFY(f->WasClosed());
  }

  void escapeClosesWhenExitIsAllowed() {
    TWindowFixture fx;
    QTest::keyClick(fx.F()->vstAufgaben, Qt::Key_Escape);
    QVERIFY(fx.F()->WasClosed());
  }

  void rebuildSetsTheTaskColumns() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->resize(1100, 700);
    QApplication::processEvents();
    f->acFormRebuild();
    QCOMPARE(f->vstAufgaben->ColumnWidthAt(0), f->vstAufgaben->ClientWidth() - 72);
    QCOMPARE(f->vstAufgaben->ColumnWidthAt(1), 50);
    QCOMPARE(f->vstAufgaben->ColumnWidthAt(2), 22);
    // The side column keeps its room when the window gets narrow.
    f->resize(760, 600);
    QApplication::processEvents();
    QVERIFY(f->pnlInner->width() - 16 - f->aqdcStart->width() >= 240);
    QVERIFY(f->aqdcStart->width() >= f->aqdcStart->minimumWidth());
  }

  void resizeLaysOutTheOuterPanel() {
    TWindowFixture fx;
    fx.F()->resize(900, 640);
    QApplication::processEvents();
    QCOMPARE(fx.F()->pnlOuter->geometry(), QRect(4, 4, 892, 632));
  }

  void firstActivationRebuildsOnce() {
    TWindowFixture fx;
    A::Initialized(fx.F()) = false;
    A::FormActivate(fx.F());
    QVERIFY(A::Initialized(fx.F()));
  }

  void destructionClearsAPendingError() {
    auto fx = std::make_unique<TWindowFixture>();
    QVNGuard("X", [] { throw std::runtime_error("offen"); });
    QVERIFY(QVNInfo()->HasPendingError());
    fx.reset();
    QVERIFY(!QVNInfo()->HasPendingError());
  }

  void dockedPanelsCannotBeClosed() {
    TWindowFixture fx;
    bool canClose = true;
    fx.F()->aqDockingManager1CloseQuery(nullptr, fx.F()->aqdcAufgaben, canClose);
    QVERIFY(!canClose);
    fx.F()->aqdcAufgaben->close();
    QVERIFY(fx.F()->aqdcAufgaben->isVisible());
  }

  void layoutTextRoundTripsPerWorkstation() {
    TTestEnvironment env("PC-A");
    auto makeWindow = [&](const QString &terminal, const std::function<void(TfrmWexoentree *)> &use) {
      qputenv("WEXO_TERMINAL_ID", terminal.toUtf8());
      TScriptedWexodm dm;
      wexodm = &dm;
      {
        TfrmWexoentree form;
        dm.Window = &form;
        form.show();
        QApplication::processEvents();
        use(&form);
        form.close();
      }
      wexodm = nullptr;
    };
    int heightA = 0;
    makeWindow("PC-A", [&](TfrmWexoentree *f) {
      f->aqDockingSite1->resizeDocks({f->aqdcAufgaben}, {260}, Qt::Vertical);
      QApplication::processEvents();
      heightA = f->aqdcAufgaben->height();
      f->aqDockingManager1->SetActiveControl(f->aqdcSelektionen);
    });
    makeWindow("PC-B", [&](TfrmWexoentree *f) { f->aqDockingManager1->SetActiveControl(f->aqdcAufgaben); });
    const auto stored = [&](const QString &terminal) {
      return env.Store
          ->Scalar("SELECT value FROM form_store WHERE form_id = 'DEU.WEXO.WEXOENTR' AND index_name = ? AND property "
                   "= 'lblDockingLayout.Caption'",
                   {terminal})
          .toString();
    };
    QVERIFY(QRegularExpression("^[A-Za-z0-9+/=]+,aqdcSelektionen$").match(stored("PC-A")).hasMatch());
    QVERIFY(stored("PC-B").endsWith(",aqdcAufgaben"));
    makeWindow("PC-A", [&](TfrmWexoentree *f) {
      QCOMPARE(f->aqDockingManager1->ActiveControl(), f->aqdcSelektionen);
      QCOMPARE(f->aqdcAufgaben->height(), heightA);
    });
    makeWindow("PC-B", [&](TfrmWexoentree *f) { QCOMPARE(f->aqDockingManager1->ActiveControl(), f->aqdcAufgaben); });
  }

  void badLayoutTextsChangeNothing() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    TQVNDockingManager *m = f->aqDockingManager1;
    m->SetActiveControl(f->aqdcStart);
    QString good;
    f->DockingLayoutToStr(m, good);
    const QString layout = CommaTextSplit(good).first();
    for (const QString &ignored : {QString(), QString("nurEinTeil"), QString("a,b,c"), layout + ",aqdcstart"}) {
      f->StrToDockingLayout(m, ignored);
      QCOMPARE(m->ActiveControl(), f->aqdcStart);
    }
    QVERIFY(fx.Reports().isEmpty());
    f->StrToDockingLayout(m, "!!kein*base64!!,aqdcAufgaben");
    f->StrToDockingLayout(m, "QUJDREVG,aqdcAufgaben");
    // A damaged state (found by fuzzing) that Qt's own reader does not survive.
    f->StrToDockingLayout(m, "AAAA/wAAAAH9AAAAAgAAAAAAAAKCAAACY/wCAAAAAfsAAAASAGEAcQBkAGMAUwB0AGEAcgB0AQAAAAAAAAJjAAABLAD///8AAAIBAAABAgAAAmP8AgAAAAL7AAAAGABhAHEAZABjAEEAdQBmAGcAYQBiAGUAbgEAAAAAAAAAgwAAADwA////+wAAAB4AYQBxAGQAYwBTAGUAbABlAGsAdABGA8bpgABlAG4BQAAAiQAAAdoAAABQAP///wAAAAAAAAJjAAAAAQAAAAIAAAABAAAAAvwAAAAA,aqdcStart");
    // A layout whose state bytes were changed after writing.
    QByteArray damaged = QByteArray::fromBase64(layout.toLatin1());
    damaged[damaged.size() - 3] = char(damaged.at(damaged.size() - 3) ^ 0x5A);
    f->StrToDockingLayout(m, QString::fromLatin1(damaged.toBase64()) + ",aqdcAufgaben");
    QCOMPARE(fx.Reports(), QStringList(4, "TfrmWexoentree.StrToDockingLayout"));
    QCOMPARE(m->ActiveControl(), f->aqdcStart);
    // A good layout with an empty second item keeps the active control.
    f->StrToDockingLayout(m, layout + ",");
    QCOMPARE(m->ActiveControl(), f->aqdcStart);
    f->StrToDockingLayout(m, layout + ",aqdcAufgaben");
    QCOMPARE(m->ActiveControl(), f->aqdcAufgaben);
    QVERIFY(!m->MuteOnChange(false)); // the muted event is back in place
  }

  // What anyone who can write the form store can store: a state with the right tag and hash.
  static QString Wrapped(const QByteArray &state, const QString &active = "aqdcStart") {
    const QByteArray layout = QByteArray("WXDL\x01", 5) + QCryptographicHash::hash(state, QCryptographicHash::Sha256) + state;
    return QString::fromLatin1(layout.toBase64()) + "," + active;
  }

  // Each rule the reader exists for, broken alone, is refused; the shape it
  // is built from is accepted.
  void theDockStateReaderRefusesEveryBrokenRule_data() {
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QString>("reason");
    const TPanel start{"aqdcStart"}, tasks{"aqdcAufgaben"}, quick{"aqdcSelektionen"};
    QTest::newRow("richtig") << DockState({{0, -1, {start}}, {1, -1, {tasks, quick}}}) << QString();
    QTest::newRow("als Reiter") << DockState({{0, -1, {start}}, {1, 1, {tasks, quick}}}) << QString();
    QTest::newRow("Andockbereich doppelt") << DockState({{1, -1, {start}}, {1, -1, {tasks, quick}}})
                                           << "Andockbereich ungültig";
    QTest::newRow("Bereich doppelt") << DockState({{0, -1, {start, tasks}}, {1, -1, {tasks, quick}}})
                                     << "doppelter Bereich";
    QTest::newRow("Bereich fehlt") << DockState({{0, -1, {start}}, {1, -1, {tasks}}}) << "fehlt";
    QTest::newRow("unbekannter Bereich") << DockState({{0, -1, {start}}, {1, -1, {tasks, {"aqdcFremd"}}}})
                                         << "unbekannter";
    QTest::newRow("Daten über das Ende") << DockState({{0, -1, {start}}, {1, -1, {tasks, quick}}}, "x")
                                         << "über das Ende";
    QTest::newRow("Reiter eins zu groß") << DockState({{0, -1, {start}}, {1, 2, {tasks, quick}}}) << "Anordnung ungültig";
    QTest::newRow("schwebend") << DockState({{0, -1, {start}}, {1, -1, {tasks, {"aqdcSelektionen", 3}}}})
                               << "nicht angedockt";
    QTest::newRow("ausgeblendet") << DockState({{0, -1, {start}}, {1, -1, {tasks, {"aqdcSelektionen", 0}}}})
                                  << "ausgeblendet";
  }
  void theDockStateReaderRefusesEveryBrokenRule() {
    QFETCH(QByteArray, state);
    QFETCH(QString, reason);
    TDockStateRules rules;
    rules.Panels = {"aqdcStart", "aqdcAufgaben", "aqdcSelektionen"};
    const QString problem = CheckDockState(state, rules);
    if (reason.isEmpty())
      QCOMPARE(problem, QString());
    else
      QVERIFY2(problem.contains(reason), qPrintable(problem));
  }

  static bool AllDockedAndShown(TfrmWexoentree *f) {
    for (TaqDockingControl *c : {f->aqdcStart, f->aqdcAufgaben, f->aqdcSelektionen})
      if (c->isFloating() || !c->isVisible() || f->aqDockingSite1->dockWidgetArea(c) == Qt::NoDockWidgetArea)
        return false;
    return true;
  }

  void noStoredLayoutCanCrashOrStrandTheUser_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("Absturz-Eingabe mit richtiger Prüfsumme") << "crash";
    QTest::newRow("Start und Schnelleinstieg ausgeblendet") << "hidden";
    QTest::newRow("schwebender Bereich") << "floating";
    QTest::newRow("ein Bereich doppelt") << "twice";
  }

  void noStoredLayoutCanCrashOrStrandTheUser() {
    QFETCH(QString, kind);
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QByteArray state;
    if (kind == "crash") {
      QFile seed(QFINDTESTDATA("../fuzz/corpus/dockinglayout/qt-restorestate-crash"));
      QVERIFY(seed.open(QIODevice::ReadOnly));
      state = QByteArray::fromBase64(seed.readAll().split(',').first());
    } else {
      // Made by Qt itself from a real arrangement the window would never keep.
      f->aqDockingManager1->SetEnabled(true);
      if (kind == "hidden") {
        f->aqdcStart->hide();
        f->aqdcSelektionen->hide();
      } else if (kind == "floating") {
        f->aqdcAufgaben->setFloating(true);
      }
      state = f->aqDockingSite1->saveState(1);
      // The quick-entry panel written under the start panel's name: one name twice, one panel missing.
      auto named = [](const QString &name) {
        QByteArray bytes;
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << name;
        return bytes;
      };
      if (kind == "twice") {
        QVERIFY(state.contains(named("aqdcSelektionen")));
        state.replace(named("aqdcSelektionen"), named("aqdcStart"));
      }
      f->aqdcAufgaben->setFloating(false);
      f->aqdcStart->show();
      f->aqdcSelektionen->show();
      f->aqDockingManager1->SetEnabled(false);
      QApplication::processEvents();
    }
    QVERIFY(AllDockedAndShown(f));
    QVNInfo()->ClearHistory();
    f->StrToDockingLayout(f->aqDockingManager1, Wrapped(state));
    QApplication::processEvents();
    QCOMPARE(fx.Reports(), QStringList{"TfrmWexoentree.StrToDockingLayout"});
    QVERIFY(AllDockedAndShown(f));
    for (TaqDockingControl *c : {f->aqdcStart, f->aqdcAufgaben, f->aqdcSelektionen})
      QCOMPARE(c->features(), QDockWidget::NoDockWidgetFeatures);
  }

  // What a start leaves behind when it dies inside Qt's reader: its mark, held by a process that is gone.
  static void LeaveMarkOfADeadStart(const QString &terminal, const QByteArray &state) {
    QVERIFY(QDir().mkpath(TRestoreMark::Folder()));
    const pid_t child = ::fork();
    if (child == 0) {
      QLockFile lock(TRestoreMark::PathFor(terminal, state));
      ::_exit(lock.tryLock(0) ? 0 : 1); // ends holding it
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    QCOMPARE(status, 0);
    QVERIFY(QFile::exists(TRestoreMark::PathFor(terminal, state)));
  }

  void aStartThatDiedWhileApplyingALayoutSkipsItNextTime() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    const QByteArray state = f->aqDockingSite1->saveState(1);
    LeaveMarkOfADeadStart("TEST-PC", state);
    LeaveMarkOfADeadStart("KASSE-2", state); // another workstation's, left where it is
    f->StrToDockingLayout(f->aqDockingManager1, Wrapped(state, "aqdcAufgaben"));
    QCOMPARE(fx.Reports(), QStringList{"TfrmWexoentree.StrToDockingLayout"});
    QVERIFY(f->aqDockingManager1->ActiveControl() != f->aqdcAufgaben);
    QVERIFY(!QFile::exists(TRestoreMark::PathFor("TEST-PC", state)));
    // Reported once: the start after that applies the layout again.
    f->StrToDockingLayout(f->aqDockingManager1, Wrapped(state, "aqdcAufgaben"));
    QCOMPARE(fx.Reports().size(), 1);
    QCOMPARE(f->aqDockingManager1->ActiveControl(), f->aqdcAufgaben);
    QVERIFY(QFile::exists(TRestoreMark::PathFor("KASSE-2", state)));
    QFile::remove(TRestoreMark::PathFor("KASSE-2", state));
  }

  // A second start of the same workstation applying the same layout at the
  // same moment is no crash: the healthy layout is taken.
  void anOverlappingStartIsNoCrash() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    const QByteArray state = f->aqDockingSite1->saveState(1);
    QVERIFY(QDir().mkpath(TRestoreMark::Folder()));
    QLockFile other(TRestoreMark::PathFor("TEST-PC", state)); // held by a start that lives
    QVERIFY(other.tryLock(0));
    f->StrToDockingLayout(f->aqDockingManager1, Wrapped(state, "aqdcAufgaben"));
    QVERIFY2(fx.Reports().isEmpty(), qPrintable(fx.Reports().join(',')));
    QCOMPARE(f->aqDockingManager1->ActiveControl(), f->aqdcAufgaben);
    QVERIFY(other.isLocked());
  }

  // What Qt writes back for an arrangement it accepted is accepted again:
  // panels in a tab group, and a window that was never shown.
  void layoutsQtWritesAreAcceptedAgain() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    TQVNDockingManager *m = f->aqDockingManager1;
    m->SetEnabled(true);
    f->aqDockingSite1->tabifyDockWidget(f->aqdcAufgaben, f->aqdcSelektionen);
    m->SetEnabled(false);
    QApplication::processEvents();
    QString tabbed;
    f->DockingLayoutToStr(m, tabbed);
    for (int round = 0; round < 2; ++round) {
      f->StrToDockingLayout(m, tabbed);
      QApplication::processEvents();
      QVERIFY2(fx.Reports().isEmpty(), qPrintable(fx.Reports().join(',')));
      QVERIFY(!f->aqDockingSite1->tabifiedDockWidgets(f->aqdcAufgaben).isEmpty());
      f->DockingLayoutToStr(m, tabbed);
    }
    TScriptedWexodm dm;
    wexodm = &dm;
    {
      TfrmWexoentree hidden; // built, never shown: Qt writes sizes it never laid out
      QString never;
      hidden.DockingLayoutToStr(hidden.aqDockingManager1, never);
      hidden.StrToDockingLayout(hidden.aqDockingManager1, never);
      QVERIFY2(QVNInfo()->RegisteredWhere().isEmpty(), qPrintable(QVNInfo()->RegisteredWhere().join(',')));
    }
    wexodm = fx.Dm.get();
  }

  // The limit is in bytes, whatever the text holds: a leading NUL or letters of two bytes.
  void aLayoutAbove64KiBIsNotRead_data() {
    QTest::addColumn<QString>("huge");
    QTest::newRow("70 KiB") << QString(70 * 1024, 'A') + ",aqdcStart";
    QTest::newRow("führendes NUL") << QString(QChar(0)) + QString(70 * 1024, 'A') + ",aqdcStart";
    QTest::newRow("40 000 Umlaute") << QString(40000, QChar(0xDC)) + ",aqdcStart";
  }
  void aLayoutAbove64KiBIsNotRead() {
    QFETCH(QString, huge);
    if (TTestEnvironment::OnPostgres() && huge.startsWith(QChar(0)))
      QSKIP("PostgreSQL nimmt kein NUL in Texten an");
    TTestEnvironment env;
    env.Store->Exec("INSERT INTO form_store (form_id, index_name, property, value) VALUES ('DEU.WEXO.WEXOENTR', "
                    "'TEST-PC', 'lblDockingLayout.Caption', ?)",
                    {huge});
    auto dm = std::make_unique<TScriptedWexodm>();
    wexodm = dm.get();
    {
      TfrmWexoentree form;
      QCOMPARE(QVNInfo()->RegisteredWhere(), QStringList{"TfrmWexoentree.StrToDockingLayout"});
      QVERIFY(form.lblDockingLayout->Caption().isEmpty());
      QVNInfo()->ClearHistory();
      form.StrToDockingLayout(form.aqDockingManager1, huge);
      QCOMPARE(QVNInfo()->RegisteredWhere(), QStringList{"TfrmWexoentree.StrToDockingLayout"});
    }
    wexodm = nullptr;
  }

  // With no stored layout, the task list opens with the height of all its rows.
  void firstOpeningShowsEveryTaskRow() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Wdvo = d.Beda = d.Diim = d.Scan = d.Exfe = d.Exim = d.Invo = d.Unvo = d.Qufa = d.Ofwa = d.Erwa = 2;
      d.BedaVorhanden = d.UnvoAktiv = true;
    }, false);
    TfrmWexoentree *f = fx.F();
    QVERIFY(f->lblDockingLayout->Caption().isEmpty());
    f->show();
    QTest::qWait(50);
    QAbstractItemModel *tasks = f->vstAufgaben->model();
    QVERIFY(tasks->rowCount() > 9);
    QVERIFY2(f->vstAufgaben->visualRect(tasks->index(tasks->rowCount() - 1, 0)).bottom() <
                 f->vstAufgaben->viewport()->height(),
             qPrintable(QString::number(f->vstAufgaben->viewport()->height())));
  }

  void resetRestoresTheDesignLayoutAndOneColumn() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      d.Wdvo = d.Beda = d.Diim = d.Scan = d.Exfe = d.Exim = d.Invo = d.Unvo = d.Qufa = d.Ofwa = d.Erwa = 2;
      d.BedaVorhanden = d.UnvoAktiv = true;
    });
    TfrmWexoentree *f = fx.F();
    f->resize(1200, 800);
    QApplication::processEvents();
    const int designTasks = f->aqdcAufgaben->height();
    f->aqDockingSite1->resizeDocks({f->aqdcAufgaben, f->aqdcSelektionen},
                                   {designTasks + 200, f->aqdcSelektionen->height() - 200}, Qt::Vertical);
    f->spbColCount->SetTag(3);
    f->LoadSchnellEinstiege();
    QApplication::processEvents();
    QVERIFY(f->aqdcAufgaben->height() > designTasks + 100);
    f->acFensteranordnungZuruecksetzenExecute();
    QApplication::processEvents();
    // The task list shows all its rows, the quick entries take the rest.
    QAbstractItemModel *tasks = f->vstAufgaben->model();
    QVERIFY(tasks->rowCount() >= 9);
    QVERIFY2(f->vstAufgaben->visualRect(tasks->index(tasks->rowCount() - 1, 0)).bottom() <
                 f->vstAufgaben->viewport()->height(),
             qPrintable(QString::number(f->aqdcAufgaben->height())));
    QVERIFY(f->aqdcAufgaben->height() < f->aqdcSelektionen->height());
    QCOMPARE(f->aqDockingSite1->dockWidgetArea(f->aqdcStart), Qt::LeftDockWidgetArea);
    QCOMPARE(f->aqDockingSite1->dockWidgetArea(f->aqdcSelektionen), Qt::RightDockWidgetArea);
    QVERIFY(f->aqdcAufgaben->y() < f->aqdcSelektionen->y());
    QCOMPARE(f->spbColCount->Tag(), 0);
    QCOMPARE(f->vtSchnellEinstiegView->ColumnCount(), 1);
    // Kept at once: nothing stored says other than one column (none stored is one column too).
    const QString stored = fx.Env.Store->Scalar("SELECT value FROM form_store WHERE property = 'spbColCount.Tag'").toString();
    QVERIFY2(stored.isEmpty() || stored == "0", qPrintable(stored));
    QVERIFY(!fx.Env.Store->Scalar("SELECT value FROM form_store WHERE property = 'lblDockingLayout.Caption'").isNull());
    QVERIFY(fx.Reports().isEmpty());
    // It is offered where "Mandant einstellen" is: in the title bar's context menu.
    QVERIFY(f->acFensteranordnungZuruecksetzen->text() == QString::fromUtf8("Fensteranordnung zurücksetzen"));
  }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
