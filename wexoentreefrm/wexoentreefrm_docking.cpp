// The arrangement of the docked panels, kept per workstation by the form store.
#include "wexoentreefrm.h"

#include "framework/commatext.h"
#include "framework/qvnguard.h"

#include <QBuffer>

void TfrmWexoentree::fsFormStoreStoreStart(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.fsFormStoreStoreStart"), [&] {
    QString text;
    DockingLayoutToStr(aqDockingManager1, text);
    lblDockingLayout->SetCaption(text);
  });
}

void TfrmWexoentree::fsFormStoreRestoreEnd(QObject *) {
  QVNGuard(QStringLiteral("TfrmWexoentree.fsFormStoreRestoreEnd"),
           [&] { StrToDockingLayout(aqDockingManager1, lblDockingLayout->Caption()); });
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
