// The catalogue of work areas, page switching by keys and buttons, and the
// placement of a page's elements.
#include <QAccessible>
#include <QtTest>

#include "components/actionlist.h"
#include "wexotesting.h"

using A = TfrmWexoentreeTestAccess;

namespace {
QStringList Captions(TButtons *menu, bool onlyVisible) {
  QStringList list;
  for (int i = 0; i < menu->Items()->Count(); ++i)
    if (!onlyVisible || menu->Items()->Items(i)->Visible())
      list << menu->Items()->Items(i)->LeftCaption();
  return list;
}
QList<int> HiddenEntries(TButtons *menu) {
  QList<int> hidden;
  for (int i = 0; i < menu->Items()->Count(); ++i)
    if (!menu->Items()->Items(i)->Visible())
      hidden << i + 1;
  return hidden;
}
// Turns the mouse wheel over a widget.
void Wheel(QWidget *w, int notches) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &e);
}

// Brings a child into its scrolling parent's view with the mouse wheel alone.
bool WheelIntoView(QWidget *area, QWidget *child) {
  Wheel(area, -100); // back to the top
  for (int i = 0; i < 100; ++i) {
    if (area->rect().contains(child->geometry()))
      return true;
    Wheel(area, 1);
  }
  return area->rect().contains(child->geometry());
}

TButtons *MenuOf(TfrmWexoentree *f, TTabSheet *sheet) {
  TWexoEntreeTabSheetInfos page;
  f->GetTabSheetInfos(sheet, page);
  return page.BtnsMore;
}
} // namespace

class TestNavigation : public QObject {
  Q_OBJECT
private Q_SLOTS:
  void startMenuHasTheNineAreasInOrder() {
    TWindowFixture fx;
    TPnlButtonsColl *b = fx.F()->btnpnStartMenu->Buttons();
    QStringList names, captions;
    for (int i = 0; i < b->Count(); ++i) {
      names << b->Items(i)->BtnName();
      captions << b->Items(i)->BtnCaption();
      QVERIFY(!b->Items(i)->GetResourceGlyph()->Icon().isNull());
    }
    QCOMPARE(names, QStringList({"btnSB", "btnDI", "btnWA", "btnWE", "btnArtinfo", "btnFI", "btnStatistiken",
                                 "btnRechnungen", "btnOptionen"}));
    QCOMPARE(captions, QStringList({"Vorlagen", "Disposition", "Warenannahme", "Wareneingang", "Artikelinfo",
                                    "Filialaustausch", "Statistiken", "Belege", "Einstellungen"}));
    QCOMPARE(b->Items(3)->GetResourceGlyph()->GlyphName(), QString("CHARWMETAL"));
    QCOMPARE(b->Items(7)->LinkedTabSheet(), fx.F()->tshRechnungen);
    QCOMPARE(b->Items(2)->BtnAction(), fx.F()->acWA);
  }

  void buttonMenusHaveTheirEntriesAndVisibility() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QCOMPARE(HiddenEntries(f->btnMoreSB), QList<int>({3, 4, 5}));
    QCOMPARE(HiddenEntries(f->btnsMoreWE), QList<int>({13}));
    QCOMPARE(HiddenEntries(f->btnsMoreRK), QList<int>({3, 4, 5, 6, 7, 8, 9, 10}));
    QCOMPARE(HiddenEntries(f->btnMoreWA).size(), 12);
    for (TButtons *m : {f->btnsMoreDI, f->btnsMoreArtinfo, f->btnsMoreFI, f->btnMoreStatistiken, f->btnsMoreOptionen})
      QVERIFY(HiddenEntries(m).isEmpty());
    QCOMPARE(f->btnMoreWA->Items()->Items(0)->ButtonType(), int(btHeading));
    QCOMPARE(f->btnMoreWA->Items()->Items(6)->ButtonType(), int(btHeading));
    QVERIFY(!f->btnMoreWA->Items()->Items(0)->Button()->Action());
    QCOMPARE(Captions(f->btnsMoreOptionen, false),
             QStringList({QString::fromUtf8("Zeiträume"), "Allgemeine Einstellungen", "Einstellungen kopieren",
                          QString::fromUtf8("Sichtbare Menüpunkte"), QString::fromUtf8("Währungen")}));
    QCOMPARE(f->btnsMoreArtinfo->Items()->Items(5)->Button()->objectName(), QString("btnSSC"));
    QCOMPARE(f->btnsMoreArtinfo->Items()->Items(5)->Button()->Action(), f->acAISSC2Wexo);
  }

  void rightCaptionsAreTheShortcutTexts() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QCOMPARE(f->btnsMoreWE->Items()->Items(0)->RightCaption(), QString("K"));
    QCOMPARE(f->btnsMoreWE->Items()->Items(1)->RightCaption(), QString());
    QCOMPARE(f->btnsMoreWE->Items()->Items(7)->RightCaption(), QString::fromUtf8("Ü"));
    QCOMPARE(f->btnsMoreFI->Items()->Items(0)->RightCaption(), QString("Strg+Alt+N"));
    QCOMPARE(f->btnMoreStatistiken->Items()->Items(1)->RightCaption(), QString("U"));
    QCOMPARE(f->btnMoreWA->Items()->Items(0)->RightCaption(), QString());
  }

  void tagsAreUniqueAboveZero() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QSet<int> seen;
    QList<int> settingsTags;
    for (TButtons *m : {f->btnMoreSB, f->btnsMoreDI, f->btnMoreWA, f->btnsMoreWE, f->btnsMoreArtinfo, f->btnsMoreFI,
                        f->btnMoreStatistiken, f->btnsMoreRK, f->btnsMoreOptionen})
      for (int i = 0; i < m->Items()->Count(); ++i) {
        const int tag = m->Items()->Items(i)->Tag;
        if (tag <= 0) {
          QCOMPARE(m, f->btnsMoreOptionen);
          settingsTags << tag;
          continue;
        }
        QVERIFY2(!seen.contains(tag), qPrintable(QString::number(tag)));
        seen.insert(tag);
      }
    QCOMPARE(settingsTags, QList<int>({0, 0, -1}));
    QCOMPARE(seen.size(), 69);
  }

  void keyWSwitchesToGoodsReceiptFromAnywhere() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->activateWindow();
    QTest::keyClick(f->vstAufgaben, Qt::Key_W);
    QCOMPARE(f->pgcStartMain->ActivePage(), f->tshWE);
    QCOMPARE(A::StartMenuItemIndex(f), 3);
    QCOMPARE(f->btnpnStartMenu->FocusedButton(), 3);
    QVERIFY(f->btnsMoreWE->isAncestorOf(QApplication::focusWidget()));
    // Backspace in the menu, with any modifier, leads back to the start-menu button.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), f->btnpnStartMenu->Buttons()->Items(3)->Button());
    // The page shown again after a dialog is the remembered one.
    f->hide();
    f->show();
    QCOMPARE(f->btnpnStartMenu->Selected(), 3);
    QCOMPARE(f->pgcStartMain->ActivePage(), f->tshWE);
  }

  void goodsAcceptanceHasNoKeyAndDisabledActionsIgnoreTheirKey() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QVERIFY(f->acWA->shortcut().isEmpty());
    f->acStatistik->setEnabled(false);
    QTest::keyClick(f->btnsMoreArtinfo, Qt::Key_S);
    QCOMPARE(f->pgcStartMain->ActivePage(), f->tshArtinfo);
    QCOMPARE(fx.D().Calls.size(), 1); // only the client selection, nothing ran on S
  }

  void keyUStartsTheComparisonAnalysis() {
    TWindowFixture fx;
    QTest::keyClick(fx.F()->btnsMoreArtinfo, Qt::Key_U);
    QCOMPARE(fx.D().Operations().last(), QString("Stat_EVA"));
  }

  void pageSwitchOfTheShownPageStillFocusesItsMenu() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->vstAufgaben->setFocus();
    f->acArtikelinformationExecute();
    QVERIFY(f->btnsMoreArtinfo->isAncestorOf(QApplication::focusWidget()));
  }

  void currencySelectionKeepsTheWindowOnScreen() {
    TWindowFixture fx;
    fx.F()->acWaehrungenExecute();
    QCOMPARE(fx.D().Calls.last().Operation, QString("WaehrungenWaehlen"));
    QVERIFY(fx.D().Calls.last().WindowVisible);
  }

  void workedExampleWithPictures() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    // A menu whose entries fit: the page is laid out by its own rules alone.
    for (int i = 3; i < f->btnsMoreWE->Items()->Count(); ++i)
      f->btnsMoreWE->Items()->Items(i)->SetVisible(false);
    f->tshWE->resize(536, 563);
    f->tshStartCommonResize(f->tshWE);
    QCOMPARE(f->pnlHeaderWE->y(), 211);
    QCOMPARE(f->lblTextWE->y(), 260);
    QCOMPARE(f->btnsMoreWE->geometry(), QRect(87, 385, 361, 146));
    QCOMPARE(f->imgPhotoWE->geometry(), QRect(87, 2, 361, 197));
    QCOMPARE(f->imgPhotoWE_L->geometry(), QRect(4, 2, 181, 197));
    QCOMPARE(f->imgPhotoWE_R->geometry(), QRect(351, 2, 181, 197));
    QCOMPARE(f->lblTextWE->geometry(), QRect(4, 260, 528, 113));
    QVERIFY(f->imgPhotoWE->isVisibleTo(f->tshWE));
    f->tshWE->resize(1000, 563);
    f->tshStartCommonResize(f->tshWE);
    QCOMPARE(f->imgPhotoWE->x(), 319);
    QCOMPARE(f->imgPhotoWE_L->geometry(), QRect(4, 2, 315, 197));
    QCOMPARE(f->imgPhotoWE_R->geometry(), QRect(680, 2, 316, 197));
  }

  void workedExampleWithoutPictures() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    TWexoGeneralOptions::SetOptions({true});
    f->tshWE->resize(536, 563);
    f->tshStartCommonResize(f->tshWE);
    QCOMPARE(f->pnlHeaderWE->y(), 2);
    QCOMPARE(f->lblTextWE->y(), 51);
    QCOMPARE(f->btnsMoreWE->y(), 176);
    QCOMPARE(f->btnsMoreWE->height(), 355);
    QVERIFY(!f->imgPhotoWE->isVisibleTo(f->tshWE));
    QVERIFY(!f->imgPhotoWE_R->isVisibleTo(f->tshWE));
  }

  void narrowPagesShrinkPictureAndMenu() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->tshDI->resize(300, 563);
    f->tshStartCommonResize(f->tshDI);
    QCOMPARE(f->imgPhotoDI->geometry().left(), 4);
    QCOMPARE(f->imgPhotoDI->width(), 292);
    QCOMPARE(f->btnsMoreDI->width(), 260);
  }

  // At the opening size every entry of every area and every start button is
  // in view without scrolling: Warenannahme on and off, pictures on and off.
  void everyEntryInViewAtTheOpeningSize_data() {
    QTest::addColumn<bool>("warenannahme");
    QTest::addColumn<bool>("pictures");
    QTest::newRow("acht Bereiche, Bilder") << false << true;
    QTest::newRow("neun Bereiche, Bilder") << true << true;
    QTest::newRow("neun Bereiche, ohne Bilder") << true << false;
  }
  void everyEntryInViewAtTheOpeningSize() {
    QFETCH(bool, warenannahme);
    QFETCH(bool, pictures);
    TWindowFixture fx([&](TScriptedWexodm &d) {
      if (warenannahme)
        for (int tag : {1000, 1001, 1002, 1003, 1004, 1005, 1010, 1011, 1012, 1013, 1014, 1015})
          d.StoredInfos.append({QString(), QString(), tag, true});
      TWexoGeneralOptions::SetOptions({!pictures});
    });
    TfrmWexoentree *f = fx.F();
    f->resize(928, 666);
    QApplication::processEvents();
    TPnlButtonsColl *areas = f->btnpnStartMenu->Buttons();
    int shownAreas = 0;
    for (int a = 0; a < areas->Count(); ++a) {
      if (!areas->Items(a)->IsShown())
        continue;
      ++shownAreas;
      QVERIFY2(f->btnpnStartMenu->rect().contains(areas->Items(a)->Button()->geometry()),
               qPrintable(areas->Items(a)->BtnCaption()));
      areas->Items(a)->BtnAction()->trigger();
      QApplication::processEvents();
      TTabSheet *page = areas->Items(a)->LinkedTabSheet();
      TButtons *menu = MenuOf(f, page);
      QVERIFY(page->rect().contains(menu->geometry()));
      for (int i = 0; i < menu->Items()->Count(); ++i) {
        TButtonsCollItem *item = menu->Items()->Items(i);
        if (item->Visible())
          QVERIFY2(menu->rect().contains(item->Button()->geometry()), qPrintable(item->LeftCaption()));
      }
    }
    QCOMPARE(shownAreas, warenannahme ? 9 : 8);
  }

  // Room is given in order: the text's empty lines, then the pictures with
  // their aspect down to 80 pixels, then the pictures hide; a larger page
  // takes it all back and looks as it did.
  void pagesGiveRoomToTheirEntriesInOrder() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    TButtons *menu = f->btnsMoreDI;
    auto layOut = [&](int height) {
      f->tshDI->resize(544, height);
      f->tshStartCommonResize(f->tshDI);
    };
    auto allInView = [&] { return menu->height() >= menu->NeededHeight() && menu->y() + menu->height() <= 563; };
    layOut(900);
    const QRect design = f->imgPhotoDI->geometry();
    QCOMPARE(design.height(), 197);
    layOut(563);
    QVERIFY(allInView());
    // The text keeps the lines it needs and no more; the picture gives the rest.
    QCOMPARE(f->lblTextDI->height(), f->lblTextDI->heightForWidth(f->lblTextDI->width()));
    QVERIFY(f->imgPhotoDI->height() < 197 && f->imgPhotoDI->height() >= 80);
    QCOMPARE(f->pnlHeaderDI->y(), f->imgPhotoDI->y() + f->imgPhotoDI->height() + 12);
    QCOMPARE(menu->y() + menu->height(), 563 - 32);
    QVERIFY(qAbs(f->imgPhotoDI->width() * 197 - 361 * f->imgPhotoDI->height()) <= 197); // its aspect
    QVERIFY(f->imgPhotoDI->isVisibleTo(f->tshDI));
    // Lower still: the pictures hide before the menu scrolls.
    layOut(480);
    QVERIFY(!f->imgPhotoDI->isVisibleTo(f->tshDI) && !f->imgPhotoDI_L->isVisibleTo(f->tshDI));
    QCOMPARE(f->pnlHeaderDI->y(), 2);
    QVERIFY(menu->height() >= menu->NeededHeight());
    // Room enough: the page as its own rules lay it out.
    layOut(900);
    QCOMPARE(f->imgPhotoDI->geometry(), design);
    QVERIFY(f->imgPhotoDI->isVisibleTo(f->tshDI));
    QCOMPARE(f->lblTextDI->height(), 113);
    QCOMPARE(f->pnlHeaderDI->y(), 211);
    QCOMPARE(menu->y(), 385);
  }

  // At the minimum size no caption runs into its key letter: a long one ends
  // in "…" and shows whole as its tooltip. The area shown stays bold.
  void captionsNeverMeetTheirKeyLetters() {
    TWindowFixture fx([](TScriptedWexodm &d) {
      for (int tag : {1000, 1001, 1002, 1003, 1004, 1005, 1010, 1011, 1012, 1013, 1014, 1015})
        d.StoredInfos.append({QString(), QString(), tag, true});
    });
    TfrmWexoentree *f = fx.F();
    f->resize(f->minimumSize());
    QApplication::processEvents();
    int cut = 0;
    TPnlButtonsColl *areas = f->btnpnStartMenu->Buttons();
    for (int a = 0; a < areas->Count(); ++a) {
      areas->Items(a)->BtnAction()->trigger();
      QApplication::processEvents();
      QVERIFY(areas->Items(a)->Button()->CaptionFont().bold());
      TButtons *menu = MenuOf(f, areas->Items(a)->LinkedTabSheet());
      for (int i = 0; i < menu->Items()->Count(); ++i) {
        TButtonsBtn *b = menu->Items()->Items(i)->Button();
        if (!menu->Items()->Items(i)->Visible() || b->KeyText().isEmpty())
          continue;
        QVERIFY2(b->CaptionRect().right() < b->KeyRect().left(), qPrintable(menu->Items()->Items(i)->LeftCaption()));
        QVERIFY(b->rect().contains(b->KeyRect()));
        // On screen: nothing is drawn in the four pixels before the key letter.
        const QImage shot = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal ratio = shot.devicePixelRatio(); // 2 at 200 %
        QSet<QRgb> inks;
        for (int x = int((b->KeyRect().left() - 4) * ratio); x < int(b->KeyRect().left() * ratio); ++x)
          for (int y = int(3 * ratio); y < int((b->height() - 3) * ratio); ++y)
            inks << shot.pixel(x, y);
        QVERIFY2(inks.size() == 1, qPrintable(menu->Items()->Items(i)->LeftCaption()));
        const QString caption = QVNDisplayCaption(menu->Items()->Items(i)->LeftCaption());
        if (b->fontMetrics().horizontalAdvance(caption) <= b->CaptionRect().width())
          continue;
        ++cut;
        QHelpEvent tip(QEvent::ToolTip, b->rect().center(), b->mapToGlobal(b->rect().center()));
        QCoreApplication::sendEvent(b, &tip);
        QCOMPARE(QToolTip::text(), caption);
      }
    }
    QVERIFY(cut > 0); // the long captions of Wareneingang are cut here
  }

  // A description that would be cut takes room the menu does not need.
  void descriptionsUseTheRoomTheyHave() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->resize(f->minimumSize());
    f->acReKoExecute();
    QApplication::processEvents();
    QVERIFY(f->lblTextRK->heightForWidth(f->lblTextRK->width()) > 113); // it would be cut at 113
    // It grows as far as the menu's entries leave room.
    QVERIFY(f->lblTextRK->height() > 113);
    QCOMPARE(f->btnsMoreRK->height(), f->btnsMoreRK->NeededHeight());
    // One font size for every page's description.
    QSet<int> sizes;
    for (TQVNStdLabel *l : {f->lblTextWE, f->lblTextDI, f->lblTextArtinfo, f->lblTextFI, f->lblTextOptionen,
                            f->lblTextRK, f->lblHintStatistiken, f->lblHintWA, f->lblHintSB})
      sizes << l->font().pointSize();
    QCOMPARE(sizes, QSet<int>{10});
  }

  // On the Warenannahme page the side pictures lie above the truck's picture:
  // they leave its middle free, keeping their overlap at the edges.
  void warenannahmeSidePicturesLeaveTheTruckFree_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("Eröffnungsgröße") << 544;
    QTest::newRow("Mindestgröße") << 322;
    QTest::newRow("breit") << 1000;
  }
  void warenannahmeSidePicturesLeaveTheTruckFree() {
    QFETCH(int, width);
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->tshWA->resize(width, 590);
    f->tshStartCommonResize(f->tshWA);
    const QRect centre = f->imgWA->geometry();
    const QRect truck = centre.adjusted(centre.width() * 3 / 10, 0, -centre.width() * 3 / 10, 0);
    QVERIFY2(!f->imgWA_L->geometry().intersects(truck), qPrintable(QString::number(f->imgWA_L->geometry().right())));
    QVERIFY2(!f->imgWA_R->geometry().intersects(truck), qPrintable(QString::number(f->imgWA_R->x())));
    if (width == 544) // the design's overlap at the left edge stays
      QCOMPARE(f->imgWA_L->geometry(), QRect(4, 2, 181, f->imgWA_L->height()));
  }

  // A picture larger than its control is drawn smaller with its aspect, centred, not cut.
  void aPictureLargerThanItsControlIsScaledDown() {
    QTemporaryDir dir;
    QImage wide(100, 50, QImage::Format_RGB32);
    wide.fill(Qt::red);
    QVERIFY(wide.save(dir.filePath("wide.bmp")));
    TImage image;
    image.Center = true;
    image.resize(50, 50);
    image.LoadFromFile(dir.filePath("wide.bmp"));
    const QImage shot = image.grab().toImage();
    QCOMPARE(QColor(shot.pixel(2, 25)), QColor(Qt::red));  // the whole width: drawn at 50 x 25
    QCOMPARE(QColor(shot.pixel(47, 25)), QColor(Qt::red));
    QVERIFY(QColor(shot.pixel(25, 5)) != QColor(Qt::red)); // above it: free
    QVERIFY(QColor(shot.pixel(25, 44)) != QColor(Qt::red));
  }

  void picturesAreReadFromTheWorkingDirectory() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save("WEXO_FI.BMP"));
    f->tshFIShow(f->tshFI);
    QCOMPARE(f->imgPhotoFI->Picture().size(), QSize(40, 30));
    QVERIFY(f->imgPhotoFI_L->Picture().isNull()); // missing files leave the picture as it was
    QFile::remove("WEXO_FI.BMP");
    QImage blue(50, 20, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    blue.save("WEXO_FI.BMP");
    f->tshFIShow(f->tshFI);
    QCOMPARE(f->imgPhotoFI->Picture().size(), QSize(50, 20));
    QDir::setCurrent(old);
    QVERIFY(fx.Reports().isEmpty());
  }

  void generalOptionsReRunTheVisiblePage() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    f->acReKoExecute();
    TWexoGeneralOptions::SetOptions({true});
    f->acGeneralOptionsExecute();
    QCOMPARE(fx.D().Calls.last().Operation, QString("GeneralOptions"));
    QVERIFY(!f->imgPhotoRK->isVisibleTo(f->tshRechnungen));
    QCOMPARE(f->pnlheaderRK->y(), 2);
  }

  void everyEntryAndAreaCanBeSeenAndClickedWithTheMouse_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("Eröffnungsgröße") << QSize(928, 666);
    QTest::newRow("Mindestgröße") << QSize();
  }

  void everyEntryAndAreaCanBeSeenAndClickedWithTheMouse() {
    QFETCH(QSize, size);
    TWindowFixture fx([](TScriptedWexodm &d) {
      // Warenannahme switched on: nine areas in the start menu.
      for (int tag : {1000, 1001, 1002, 1003, 1004, 1005, 1010, 1011, 1012, 1013, 1014, 1015})
        d.StoredInfos.append({QString(), QString(), tag, true});
    });
    TfrmWexoentree *f = fx.F();
    f->resize(size.isValid() ? size : f->minimumSize());
    QApplication::processEvents();
    QCOMPARE(f->size(), size.isValid() ? size : QSize(720, 600));
    TPnlButtonsColl *areas = f->btnpnStartMenu->Buttons();
    int entries = 0;
    for (int a = 0; a < areas->Count(); ++a) {
      TQVNPanelButton *area = areas->Items(a)->Button();
      QVERIFY2(areas->Items(a)->IsShown(), qPrintable(areas->Items(a)->BtnCaption()));
      QVERIFY2(WheelIntoView(f->btnpnStartMenu, area), qPrintable(areas->Items(a)->BtnCaption()));
      QTest::mouseClick(area, Qt::LeftButton);
      QCOMPARE(f->pgcStartMain->ActivePage(), areas->Items(a)->LinkedTabSheet());
      QCOMPARE(f->btnpnStartMenu->Current(), a);
      TButtons *menu = MenuOf(f, areas->Items(a)->LinkedTabSheet());
      for (int i = 0; i < menu->Items()->Count(); ++i) {
        TButtonsCollItem *item = menu->Items()->Items(i);
        if (!item->Visible() || item->ButtonType() == btHeading)
          continue;
        if (item->Button()->Action() == f->acESichtMenu || item->Button()->Action() == f->acGeneralOptions)
          continue; // dialogs of their own, tested where they are
        QVERIFY2(WheelIntoView(menu, item->Button()), qPrintable(item->LeftCaption()));
        QVERIFY2(item->Button()->height() >= item->Button()->fontMetrics().height() + 4, "readable");
        const qsizetype before = fx.D().Calls.size();
        QTest::mouseClick(item->Button(), Qt::LeftButton);
        QVERIFY2(fx.D().Calls.size() == before + 1, qPrintable(item->LeftCaption()));
        ++entries;
      }
    }
    QCOMPARE(entries, 9 - 3 + 12 + 10 + 12 + 7 + 2 + 2 + 2 + 3); // shown entries of the nine areas
  }

  // Tab goes through every panel of the window in a fixed order and comes
  // back with Shift+Tab; F6 jumps panel by panel, the toolbar as one.
  void tabAndF6ReachEveryPanelInOrder() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QApplication::setActiveWindow(f);
    auto stopOf = [f]() -> QString {
      QWidget *w = QApplication::focusWidget();
      for (QWidget *stop : std::initializer_list<QWidget *>{f->btnpnStartMenu, f->btnBeenden, f->pgcStartMain,
                                                            f->vstAufgaben, f->vtSchnellEinstiegView,
                                                            f->pnlSchnellButtons, f->btnSuchen})
        if (w && (w == stop || stop->isAncestorOf(w)))
          return stop == f->pnlSchnellButtons ? w->objectName() : stop->objectName();
      return w ? w->objectName() : QString("-");
    };
    const QStringList panels = {"pgcStartMain", "vstAufgaben", "vtSchnellEinstiegView", "spbSENew", "spbSEEdit",
                                "spbSECopy", "spbSEDelete", "spbSERun", "spbSEExport", "spbSEImport",
                                "spbColCount", "btnSuchen", "btnpnStartMenu", "btnBeenden", "pgcStartMain"};
    QCOMPARE(stopOf(), QString("pgcStartMain")); // the area menu has the focus at the start
    QStringList forward;
    for (int i = 1; i < panels.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      forward << stopOf();
    }
    QCOMPARE(forward, panels.mid(1));
    QStringList back;
    for (int i = 1; i < panels.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
      back << stopOf();
    }
    QStringList reversed(panels.rbegin() + 1, panels.rend());
    QCOMPARE(back, reversed);
    // The start menu is entered at the area shown.
    f->vstAufgaben->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6, Qt::ShiftModifier);
    auto *area = qobject_cast<TQVNPanelButton *>(QApplication::focusWidget());
    QVERIFY(area);
    QCOMPARE(area->Index(), f->btnpnStartMenu->Selected());
    QStringList jumps;
    for (int i = 0; i < 7; ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_F6);
      jumps << stopOf();
    }
    QCOMPARE(jumps, QStringList({"btnBeenden", "pgcStartMain", "vstAufgaben", "vtSchnellEinstiegView", "spbSENew",
                                 "btnSuchen", "btnpnStartMenu"}));
  }

  // The context-menu key opens the menu of the panel in focus; the title
  // bar's commands are reached so, and the search finds every one of them.
  void theContextMenuKeyOpensThePanelsMenu() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QApplication::setActiveWindow(f);
    auto shownBy = [&](QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
      QStringList texts;
      // Owned here: a menu that did not open leaves no timer to fire into a later test.
      QTimer reader;
      reader.setSingleShot(true);
      connect(&reader, &QTimer::timeout, this, [&] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
          for (QAction *a : popup->actions())
            if (!a->isSeparator())
              texts << a->text();
          popup->close();
        }
      });
      reader.start(50);
      target->setFocus();
      QTest::keyClick(target, key, modifiers);
      return texts;
    };
    const QStringList titleBar = shownBy(f->vstAufgaben, Qt::Key_Menu);
    QCOMPARE(titleBar.size(), 4);
    QCOMPARE(shownBy(f->btnSuchen, Qt::Key_F10, Qt::ShiftModifier), titleBar);
    QStringList quick;
    for (QAction *a : f->pumSelektion->actions())
      if (!a->isSeparator())
        quick << a->text();
    QCOMPARE(shownBy(f->vtSchnellEinstiegView, Qt::Key_Menu), quick);
    QList<TQVNSuchEintrag> entries = f->MenuSearchEntries();
    for (QAction *a : {f->acMandant, f->acFALC, f->acThemenimport})
      QVERIFY2(std::any_of(entries.cbegin(), entries.cend(), [&](const TQVNSuchEintrag &e) { return e.Key == f->JournalKeyOf(a); }),
               qPrintable(a->objectName()));
  }

  // What a screen reader is told: the area shown is the checked start button,
  // an entry's key letter is its shortcut, the task list's run cell has a name.
  void aScreenReaderKnowsTheAreaTheKeysAndTheRunCells() {
    TWindowFixture fx([](TScriptedWexodm &d) { d.Wdvo = 2; });
    TfrmWexoentree *f = fx.F();
    f->acWareneingangExecute();
    for (TQVNPanelButton *b : f->btnpnStartMenu->findChildren<TQVNPanelButton *>()) {
      QAccessibleInterface *a = QAccessible::queryAccessibleInterface(b);
      QVERIFY(a && a->state().checkable);
      QCOMPARE(bool(a->state().checked), b->objectName() == "btnWE");
    }
    int withKeys = 0;
    for (TButtonsBtn *b : f->btnsMoreWE->findChildren<TButtonsBtn *>()) {
      QAccessibleInterface *a = QAccessible::queryAccessibleInterface(b);
      QVERIFY(a);
      QCOMPARE(a->text(QAccessible::Accelerator), b->KeyText());
      QVERIFY(a->text(QAccessible::Description).isEmpty());
      withKeys += !b->KeyText().isEmpty();
    }
    QVERIFY(withKeys > 0);
    QCOMPARE(f->vstAufgaben->model()->index(0, 2).data(Qt::AccessibleTextRole).toString(),
             QString("Öffnen: Wiedervorlagen"));
  }

  void theFocusReturnsToTheEntryThatRanTheDialog() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QTest::keyClick(f, Qt::Key_D);
    for (int i = 0; i < 11; ++i)
      QTest::keyClick(f->focusWidget(), Qt::Key_Down);
    TButtonsBtn *last = f->btnsMoreDI->Items()->Items(11)->Button();
    QCOMPARE(f->focusWidget(), last);
    QVERIFY(f->btnsMoreDI->rect().contains(last->geometry()));
    QTest::keyClick(f->focusWidget(), Qt::Key_Return);
    QCOMPARE(fx.D().Operations().last(), QString("ORDERUebersicht"));
    QCOMPARE(f->focusWidget(), last);
    QVERIFY(f->btnsMoreDI->rect().contains(last->geometry()));
    QTest::keyClick(f->focusWidget(), Qt::Key_Return);
    QCOMPARE(fx.D().Count("ORDERUebersicht"), 2);
  }

  void theHighlightIsTheAreaOnScreenWhileTheFocusMoves() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QTest::keyClick(f, Qt::Key_W);
    QTest::keyClick(f->focusWidget(), Qt::Key_Backspace);
    QTest::keyClick(f->focusWidget(), Qt::Key_Down);
    QTest::keyClick(f->focusWidget(), Qt::Key_Down);
    QCOMPARE(f->btnpnStartMenu->FocusedButton(), 5);
    QCOMPARE(f->btnpnStartMenu->Current(), 3);
    QCOMPARE(f->pgcStartMain->ActivePage(), f->tshWE);
  }

  void returnAtStartRunsTheFirstEntryOfTheAreaShown() {
    TWindowFixture fx;
    TfrmWexoentree *f = fx.F();
    QCOMPARE(f->focusWidget(), f->btnsMoreArtinfo->Items()->Items(0)->Button());
    QTest::keyClick(f->focusWidget(), Qt::Key_Return);
    QCOMPARE(fx.D().Operations().last(), QString("ArtinfoUebersicht"));
  }
};

QTEST_MAIN(TestNavigation)
#include "test_navigation.moc"
