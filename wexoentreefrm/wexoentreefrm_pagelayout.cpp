// Pictures and placement of the elements of a work-area page.
#include "wexoentreefrm.h"

#include "components/qvnalign.h"
#include "framework/qvnguard.h"

namespace {
QStringList Pictures(const char *centre, const char *left, const char *right) {
  return {QString::fromLatin1(centre), QString::fromLatin1(left), QString::fromLatin1(right)};
}
} // namespace

void TfrmWexoentree::ShowPage(QObject *sender, const QStringList &files, const QString &where, bool leftFirst) {
  QVNGuard(where, [&] {
    const TWexoGeneralOptionsRec options = TWexoGeneralOptions::GetOptions();
    if (!options.HidePictures) {
      TWexoEntreeTabSheetInfos infos;
      TWexoEntreeTabSheetInfosHelper::Clear(infos);
      GetTabSheetInfos(qobject_cast<QWidget *>(sender), infos);
      // Each picture loads on its own; a missing or unreadable file leaves it as it was.
      auto load = [](TImage *image, const QString &file) {
        if (!image)
          return;
        try {
          image->LoadFromFile(file);
        } catch (...) {
        }
      };
      if (leftFirst) {
        load(infos.ImgPhotoL, files.at(1));
        load(infos.ImgPhoto, files.at(0));
      } else {
        load(infos.ImgPhoto, files.at(0));
        load(infos.ImgPhotoL, files.at(1));
      }
      load(infos.ImgPhotoR, files.at(2));
    }
    tshStartCommonResize(sender);
  });
}

void TfrmWexoentree::tshSBShow(QObject *Sender) {
  ShowPage(Sender, Pictures("WEXO_SB.BMP", "WEXO_SB_L.BMP", "WEXO_SB_R.BMP"), QStringLiteral("TfrmWexoentree.tshSBShow"));
}
void TfrmWexoentree::tshWAShow(QObject *Sender) {
  ShowPage(Sender, Pictures("WEXO_WE.BMP", "WEXO_WE_L.BMP", "WEXO_WE_R.BMP"), QStringLiteral("TfrmWexoentree.tshWAShow"));
}
void TfrmWexoentree::tshWEShow(QObject *Sender) {
  ShowPage(Sender, Pictures("WEXO_WE.BMP", "WEXO_WE_L.BMP", "WEXO_WE_R.BMP"), QStringLiteral("TfrmWexoentree.tshWEShow"));
}
void TfrmWexoentree::tshDIShow(QObject *Sender) {
  ShowPage(Sender, Pictures("WEXO_DI.BMP", "WEXO_DI_L.BMP", "WEXO_DI_R.BMP"), QStringLiteral("TfrmWexoentree.tshDIShow"));
}
void TfrmWexoentree::tshArtinfoShow(QObject *Sender) {
  ShowPage(Sender, Pictures("WEXO_INFO.BMP", "WEXO_INFO_L.BMP", "WEXO_INFO_R.BMP"),
           QStringLiteral("TfrmWexoentree.tshArtinfoShow"));
}
void TfrmWexoentree::tshFIShow(QObject *Sender) {
  ShowPage(Sender, Pictures("WEXO_FI.BMP", "WEXO_FI_L.BMP", "WEXO_FI_R.BMP"), QStringLiteral("TfrmWexoentree.tshFIShow"));
}
void TfrmWexoentree::tshOptionenShow(QObject *Sender) {
  ShowPage(Sender, Pictures("WEXO_OPT.BMP", "WEXO_OPT_L.BMP", "WEXO_OPT_R.BMP"),
           QStringLiteral("TfrmWexoentree.tshOptionenShow"));
}
void TfrmWexoentree::tshRechnungenShow(QObject *Sender) {
  ShowPage(Sender, Pictures("WEXO_RK.BMP", "WEXO_RK_L.BMP", "WEXO_RK_R.BMP"),
           QStringLiteral("TfrmWexoentree.tshRechnungenShow"));
}
void TfrmWexoentree::tshStatistikenShow(QObject *Sender) {
  ShowPage(Sender, Pictures("Stat.jpg", "Stat_L.jpg", "Stat_R.jpg"), QStringLiteral("TfrmWexoentree.tshStatistikenShow"),
           true);
}

void TfrmWexoentree::tshStartCommonResize(QObject *Sender) {
  QVNGuard(QStringLiteral("TfrmWexoentree.tshStartCommonResize"), [&] {
    auto *sheet = qobject_cast<TTabSheet *>(Sender);
    if (!sheet)
      return;
    TakeBackRoom(sheet);
    TWexoEntreeTabSheetInfos infos;
    TWexoEntreeTabSheetInfosHelper::Clear(infos);
    GetTabSheetInfos(sheet, infos);
    VerticalControlsAdjust(infos);
    HorCenterButtons(infos.BtnsMore);
    HorCenterCtrl(infos.ImgPhoto);
    ResizeLblText(infos.LblText);
    if (infos.BtnsMore)
      infos.BtnsMore->resize(infos.BtnsMore->width(), sheet->height() - infos.BtnsMore->y() - 32);
    if (infos.ImgPhotoL && infos.ImgPhotoR) {
      HorCenterImageLeft(infos.ImgPhotoL, infos.ImgPhoto);
      HorCenterImageRight(infos.ImgPhotoR, infos.ImgPhoto);
    }
    GiveRoomToEntries(sheet, infos);
  });
}

namespace {
constexpr int kGap = 12;
constexpr int kMenuBottom = 32;
constexpr int kSmallestPicture = 80;
} // namespace

// Undoes what giving room changed, where nothing else has changed it since:
// each layout starts from the page's own sizes.
void TfrmWexoentree::TakeBackRoom(const TTabSheet *sheet) {
  const TRoomGiven given = FRoomGiven.take(sheet);
  for (qsizetype i = 0; i < given.Parts.size(); ++i)
    if (given.Parts.at(i) && given.Parts.at(i)->geometry() == given.After.at(i))
      given.Parts.at(i)->setGeometry(given.Before.at(i));
}

// Every entry of the menu in view: where the menu would have to scroll, the
// text gives its empty lines and then the pictures shrink with their aspect,
// down to a smallest height, below which they hide. Where the text would be
// cut and the menu has room to spare, the text takes it. Where both fit the
// page stays as laid out above; below what fits the menu scrolls.
void TfrmWexoentree::GiveRoomToEntries(TTabSheet *sheet, const TWexoEntreeTabSheetInfos &infos) {
  QVNGuard(QStringLiteral("TfrmWexoentree.GiveRoomToEntries"), [&] {
    if (!infos.BtnsMore || !infos.ImgPhoto || !infos.ImgPhotoL || !infos.ImgPhotoR || !infos.LblText ||
        !infos.PnlHeader)
      return;
    TRoomGiven given;
    given.Parts = {infos.LblText, infos.ImgPhoto, infos.ImgPhotoL, infos.ImgPhotoR};
    for (const QPointer<QWidget> &part : given.Parts)
      given.Before << part->geometry();

    TQVNStdLabel *text = infos.LblText;
    const int need = infos.BtnsMore->NeededHeight();
    const int textHeight = text->height();
    const int textNeed = text->text().isEmpty() ? 0
                         : text->wordWrap()    ? text->heightForWidth(text->width())
                                               : text->sizeHint().height();
    const int pictureTop = infos.ImgPhoto->y();
    const int pictureHeight = infos.ImgPhoto->height();
    // The menu's height with pictures of height p (none when not shown) and a text of height t.
    auto menuHeight = [&](bool shown, int p, int t) {
      const int header = pictureTop + (shown ? p + kGap : 0);
      return sheet->height() - kMenuBottom - (header + infos.PnlHeader->height() + kGap + t + kGap);
    };
    // The text's height for a menu with `slack` pixels to spare (negative: missing).
    auto fitText = [&](int slack) {
      if (slack >= 0)
        return textHeight + qBound(0, textNeed - textHeight, slack);
      return textHeight - qMin(qMax(0, textHeight - textNeed), -slack);
    };
    bool shown = infos.ImgPhoto->isVisibleTo(sheet);
    int p = pictureHeight;
    int t = fitText(menuHeight(shown, p, textHeight) - need);
    if (shown && menuHeight(shown, p, t) < need) {
      p -= need - menuHeight(shown, p, t);
      if (p < kSmallestPicture) {
        shown = false;
        t = fitText(menuHeight(false, 0, textHeight) - need);
      }
    }
    if (p != pictureHeight || !shown) {
      if (!shown) {
        for (TImage *image : {infos.ImgPhoto, infos.ImgPhotoL, infos.ImgPhotoR})
          image->setVisible(false);
      } else {
        for (TImage *image : {infos.ImgPhoto, infos.ImgPhotoL, infos.ImgPhotoR})
          image->resize(image->width(), image->height() - (pictureHeight - p));
        // The centre picture keeps its aspect; the side pictures follow its edges.
        const int cw = sheet->width();
        const int width = infos.ImgPhoto->width() * p / pictureHeight;
        infos.ImgPhoto->setGeometry(qMax((cw - width) / 2, 4), pictureTop, width, infos.ImgPhoto->height());
        HorCenterImageLeft(infos.ImgPhotoL, infos.ImgPhoto);
        HorCenterImageRight(infos.ImgPhotoR, infos.ImgPhoto);
      }
      TQVNAlign::SetMarginTop(infos.PnlHeader, pictureTop + (shown ? p + kGap : 0));
    }
    if (t != textHeight || p != pictureHeight || !shown) {
      text->setGeometry(text->x(), infos.PnlHeader->y() + infos.PnlHeader->height() + kGap, text->width(), t);
      infos.BtnsMore->setGeometry(infos.BtnsMore->x(), text->y() + t + kGap, infos.BtnsMore->width(),
                                  sheet->height() - (text->y() + t + kGap) - kMenuBottom);
    }
    if (shown) {
      KeepMotifFree(infos.ImgPhotoL, infos.ImgPhoto, true);
      KeepMotifFree(infos.ImgPhotoR, infos.ImgPhoto, false);
    }
    for (const QPointer<QWidget> &part : given.Parts)
      given.After << part->geometry();
    if (given.After != given.Before)
      FRoomGiven.insert(sheet, given);
  });
}

// A side picture that lies above the centre picture leaves the middle two
// fifths of it free, where its motif is: it gives way as the page narrows.
void TfrmWexoentree::KeepMotifFree(TImage *side, TImage *centre, bool left) {
  const QObjectList &stack = side->parentWidget()->children();
  if (stack.indexOf(side) < stack.indexOf(centre))
    return;
  const int margin = centre->width() * 3 / 10;
  if (left) {
    const int edge = centre->x() + margin;
    if (side->x() + side->width() > edge)
      side->resize(qMax(0, edge - side->x()), side->height());
  } else {
    const int edge = centre->x() + centre->width() - margin;
    if (side->x() < edge)
      side->setGeometry(edge, side->y(), qMax(0, side->x() + side->width() - edge), side->height());
  }
}

void TfrmWexoentree::GetTabSheetInfos(QWidget *tabSheet, TWexoEntreeTabSheetInfos &infos) {
  QVNGuard(QStringLiteral("TfrmWexoentree.GetTabSheetInfos"), [&] {
    auto set = [&](TButtons *b, TImage *c, TImage *l, TImage *r, TQVNStdLabel *t, TQVNStdPanel *h) {
      infos = TWexoEntreeTabSheetInfos{b, c, l, r, t, h};
    };
    if (tabSheet == tshSB)
      set(btnMoreSB, imgSB, imgSB_L, imgSB_R, lblHintSB, pnlHeaderSB);
    else if (tabSheet == tshDI)
      set(btnsMoreDI, imgPhotoDI, imgPhotoDI_L, imgPhotoDI_R, lblTextDI, pnlHeaderDI);
    else if (tabSheet == tshWA)
      set(btnMoreWA, imgWA, imgWA_L, imgWA_R, lblHintWA, pnlHeaderWA);
    else if (tabSheet == tshWE)
      set(btnsMoreWE, imgPhotoWE, imgPhotoWE_L, imgPhotoWE_R, lblTextWE, pnlHeaderWE);
    else if (tabSheet == tshArtinfo)
      set(btnsMoreArtinfo, imgPhotoArtinfo, imgPhotoArtinfo_L, imgPhotoArtinfo_R, lblTextArtinfo, pnlHeaderArtinfo);
    else if (tabSheet == tshFI)
      set(btnsMoreFI, imgPhotoFI, imgPhotoFI_L, imgPhotoFI_R, lblTextFI, pnlHeaderFI);
    else if (tabSheet == tshStatistiken)
      set(btnMoreStatistiken, imgStatistiken, imgStatistiken_L, imgStatistiken_R, lblHintStatistiken,
          pnlHeaderStatistiken);
    else if (tabSheet == tshRechnungen)
      set(btnsMoreRK, imgPhotoRK, imgPhotoRK_L, imgPhotoRK_R, lblTextRK, pnlheaderRK);
    else if (tabSheet == tshOptionen)
      set(btnsMoreOptionen, imgPhotoOptionen, imgPhotoOptionen_L, imgPhotoOptionen_R, lblTextOptionen,
          pnlHeaderOptionen);
  });
}

void TfrmWexoentree::VerticalControlsAdjust(const TWexoEntreeTabSheetInfos &infos) {
  QVNGuard(QStringLiteral("TfrmWexoentree.VerticalControlsAdjust"), [&] {
    if (!infos.BtnsMore || !infos.ImgPhoto || !infos.ImgPhotoL || !infos.ImgPhotoR || !infos.LblText ||
        !infos.PnlHeader)
      return;
    const TWexoGeneralOptionsRec options = TWexoGeneralOptions::GetOptions();
    constexpr int gap = 12;
    if (!options.HidePictures) {
      TQVNAlign::SetMarginTop(infos.PnlHeader, infos.ImgPhoto->y() + infos.ImgPhoto->height() + gap);
    } else {
      infos.ImgPhoto->setVisible(false);
      infos.ImgPhotoL->setVisible(false);
      infos.ImgPhotoR->setVisible(false);
      TQVNAlign::SetMarginTop(infos.PnlHeader, infos.ImgPhoto->y());
    }
    infos.LblText->move(infos.LblText->x(), infos.PnlHeader->y() + infos.PnlHeader->height() + gap);
    infos.BtnsMore->move(infos.BtnsMore->x(), infos.LblText->y() + infos.LblText->height() + gap);
    if (!options.HidePictures) {
      infos.ImgPhoto->setVisible(true);
      infos.ImgPhotoL->setVisible(true);
      infos.ImgPhotoR->setVisible(true);
    }
  });
}

void TfrmWexoentree::HorCenterButtons(QWidget *control) {
  QVNGuard(QStringLiteral("TfrmWexoentree.HorCenterButtons"), [&] {
    if (!control || !control->parentWidget())
      return;
    const int cw = control->parentWidget()->width();
    const int width = qMin(cw - 40, FSubMenuBtnMaxWidth);
    control->setGeometry(qMax((cw - width) / 2, 4), control->y(), width, control->height());
  });
}

void TfrmWexoentree::HorCenterCtrl(QWidget *control) {
  QVNGuard(QStringLiteral("TfrmWexoentree.HorCenterCtrl"), [&] {
    if (!control || !control->parentWidget())
      return;
    const int cw = control->parentWidget()->width();
    const int width = qMin(qMax(control->width(), 361), cw - 8);
    control->setGeometry(qMax((cw - width) / 2, 4), control->y(), width, control->height());
  });
}

void TfrmWexoentree::ResizeLblText(QWidget *control) {
  QVNGuard(QStringLiteral("TfrmWexoentree.ResizeLblText"), [&] {
    if (!control || !control->parentWidget())
      return;
    control->setGeometry(4, control->y(), control->parentWidget()->width() - 8, control->height());
  });
}

void TfrmWexoentree::HorCenterImageLeft(QWidget *image, QWidget *reference) {
  QVNGuard(QStringLiteral("TfrmWexoentree.HorCenterImageLeft"), [&] {
    if (!image || !image->parentWidget())
      return;
    const int cw = image->parentWidget()->width();
    int width = qMin(qMax(image->width(), 180), (cw - 8) / 2);
    if (reference->x() > 184)
      width = reference->x() - 4;
    image->setGeometry(4, image->y(), width, image->height());
  });
}

void TfrmWexoentree::HorCenterImageRight(QWidget *image, QWidget *reference) {
  QVNGuard(QStringLiteral("TfrmWexoentree.HorCenterImageRight"), [&] {
    if (!image || !image->parentWidget())
      return;
    const int cw = image->parentWidget()->width();
    int width = qMin(qMax(image->width(), 180), (cw - 8) / 2);
    int left = cw - 4 - width;
    const int r = reference->x() + reference->width();
    if (r < cw - 184) {
      left = r;
      width = cw - 4 - r;
    }
    image->setGeometry(left, image->y(), width, image->height());
  });
}

void TfrmWexoentree::pnlStartFrameInnerResize(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.pnlStartFrameInnerResize"), [&] {
    pgcStartMain->setGeometry(0, 0, pnlStartFrameInner->contentsRect().width(),
                              pnlStartFrameInner->contentsRect().height());
  });
}
