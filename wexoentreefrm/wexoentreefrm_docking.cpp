// The arrangement of the docked panels, kept per workstation by the form store.
#include "wexoentreefrm.h"

#include "framework/commatext.h"
#include "framework/qvnguard.h"
#include "framework/qvnmessage.h"
#include "storage/wexostore.h"

#include <QBuffer>

namespace {
// A layout is a few kilobytes; a stored text above the limit is no layout and is not read.
const char *const kLayoutTooLarge = "Die gespeicherte Fensteranordnung ist größer als 64 KiB und wurde nicht gelesen.";
} // namespace

void TfrmWexoentree::fsFormStoreStoreStart(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.fsFormStoreStoreStart"), [&] {
    // A window never shown has not laid its panels out: the layout read stands.
    if (!FShownOnce)
      return;
    QString text;
    DockingLayoutToStr(aqDockingManager1, text);
    lblDockingLayout->SetCaption(text);
  });
}

void TfrmWexoentree::fsFormStoreRestoreEnd(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.fsFormStoreRestoreEnd"), [&] {
    if (fsFormStore->Oversize().contains(QStringLiteral("lblDockingLayout.Caption")))
      QVNGuard(QStringLiteral("TfrmWexoentree.StrToDockingLayout"), [] {
        throw std::runtime_error(kLayoutTooLarge);
      });
    StrToDockingLayout(aqDockingManager1, lblDockingLayout->Caption());
  });
}

void TfrmWexoentree::DockingLayoutToStr(TQVNDockingManager *manager, QString &text) {
  text.clear();
  QVNGuard(QStringLiteral("TfrmWexoentree.DockingLayoutToStr"), [&] {
    QStringList list;
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    manager->SaveToStream(stream);
    list << EncodeStreamToBase64String(stream);
    list << (manager->ActiveControl() ? manager->ActiveControl()->objectName() : QString());
    text = CommaTextJoin(list);
  });
}

void TfrmWexoentree::StrToDockingLayout(TQVNDockingManager *manager, const QString &text) {
  QVNGuard(QStringLiteral("TfrmWexoentree.StrToDockingLayout"), [&] {
    if (text.isEmpty())
      return;
    if (text.size() > TWexoStore::MaxFormValueLength || text.toUtf8().size() > TWexoStore::MaxFormValueLength)
      throw std::runtime_error(kLayoutTooLarge);
    const QStringList list = CommaTextSplit(text);
    if (list.size() != 2)
      return;
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    DecodeBase64StringToStream(list.at(0), stream);
    stream.seek(0);
    // Layout changes while loading are not the user's: OnChange stays silent meanwhile.
    const bool wasMuted = manager->MuteOnChange(true);
    try {
      manager->LoadFromStream(stream);
    } catch (...) {
      manager->MuteOnChange(wasMuted);
      throw;
    }
    manager->MuteOnChange(wasMuted);
    SetActiveControlByName(manager, list.at(1));
  });
}

void TfrmWexoentree::SetActiveControlByName(TQVNDockingManager *manager, const QString &name) {
  QVNGuard(QStringLiteral("SetActiveControlByName"), [&] {
    for (int i = 0; i < manager->ControlCount(); ++i)
      if (manager->ControlByIndex(i)->objectName() == name) {
        manager->SetActiveControl(manager->ControlByIndex(i));
        return;
      }
  });
}

void TfrmWexoentree::aqDockingManager1CloseQuery(QObject *, TaqDockingControl *, bool &CanClose) {
  QVNGuard(QStringLiteral("TfrmWexoentree.aqDockingManager1CloseQuery"), [&] { CanClose = false; });
}

void TfrmWexoentree::aqDockingManager1Change(QObject *) {}

void TfrmWexoentree::ApplyDesignLayout() {
  TaqDockingSite *site = aqDockingSite1;
  for (TaqDockingControl *c : {aqdcStart, aqdcAufgaben, aqdcSelektionen}) {
    c->setFloating(false);
    site->removeDockWidget(c);
  }
  site->addDockWidget(Qt::LeftDockWidgetArea, aqdcStart);
  site->addDockWidget(Qt::RightDockWidgetArea, aqdcAufgaben);
  site->addDockWidget(Qt::RightDockWidgetArea, aqdcSelektionen);
  for (TaqDockingControl *c : {aqdcStart, aqdcAufgaben, aqdcSelektionen})
    c->show();
  site->resizeDocks({aqdcStart, aqdcAufgaben}, {662, 240}, Qt::Horizontal);
  site->resizeDocks({aqdcAufgaben, aqdcSelektionen}, {DesignTaskListHeight(), 471}, Qt::Vertical);
}

// The task list gets the height of its rows (nine, or as many as it has)
// before the quick-entry panel below it grows.
int TfrmWexoentree::DesignTaskListHeight() const {
  constexpr int DesignRows = 9;
  const int rows = qMax(DesignRows, vstAufgaben->model() ? vstAufgaben->model()->rowCount() : 0);
  const int row = qMax(vstAufgaben->sizeHintForRow(0), vstAufgaben->fontMetrics().height() + 6);
  // Once laid out, what the panel adds around the rows is measured; before, estimated.
  const int around = vstAufgaben->isVisible()
                         ? aqdcAufgaben->height() - vstAufgaben->viewport()->height()
                         : aqdcAufgaben->fontMetrics().height() + 8 + 2 * vstAufgaben->frameWidth() + 2;
  return around + rows * row;
}

// Both panels of the column are named: given one alone, the dock layout
// shares the difference between them and the task list falls short.
void TfrmWexoentree::FitTaskListToRows() {
  const int both = aqdcAufgaben->height() + aqdcSelektionen->height();
  const int tasks = qMin(DesignTaskListHeight(), both - aqdcSelektionen->minimumSizeHint().height());
  aqDockingSite1->resizeDocks({aqdcAufgaben, aqdcSelektionen}, {tasks, both - tasks}, Qt::Vertical);
}

void TfrmWexoentree::acFensteranordnungZuruecksetzenExecute() {
  QVNGuard(QStringLiteral("TfrmWexoentree.acFensteranordnungZuruecksetzenExecute"), [&] {
    if (!QVNMessages()->Ask(QStringLiteral("Fensteranordnung zurücksetzen"),
                            QStringLiteral("Die Anordnung der Bereiche Start, Aufgaben und Schnelleinstieg und die "
                                           "Spaltenzahl der Schnelleinstiege werden für diesen Arbeitsplatz auf die "
                                           "Grundeinstellung zurückgesetzt.\n\nFortfahren?")))
      return;
    const bool wasMuted = aqDockingManager1->MuteOnChange(true);
    ApplyDesignLayout();
    aqDockingManager1->MuteOnChange(wasMuted);
    acFormRebuild();
    spbColCount->SetTag(0);
    New_spbColCount_Image();
    LoadSchnellEinstiege();
    aqDockingManager1->SetActiveControl(aqdcStart);
    // Kept at once: whatever was stored before is no way back into trouble.
    fsFormStore->StoreNow();
  });
}
