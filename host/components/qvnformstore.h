#pragma once
// Stores listed "component.Property" values of a form per form identity and
// index name (the workstation) in the database, and puts them back.
#include <QMap>
#include <QStringList>
#include <QWidget>

class TQVNFormStore : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString FormLanguage MEMBER FormLanguage)
  Q_PROPERTY(QString FormProgram MEMBER FormProgram)
  Q_PROPERTY(QString FormMask MEMBER FormMask)
  Q_PROPERTY(bool AutoRestore MEMBER AutoRestore)
  Q_PROPERTY(bool AutoStore MEMBER AutoStore)
  Q_PROPERTY(bool AutoStoreSkip MEMBER AutoStoreSkip)
  Q_PROPERTY(QString IndexName MEMBER IndexName)
  Q_PROPERTY(QStringList StoredProps MEMBER StoredProps)
public:
  explicit TQVNFormStore(QWidget *parent = nullptr);

  QString FormId() const;
  // Writes the stored properties in one transaction; raises OnStoreStart first.
  void Store();
  // Puts stored values back (values that do not fit their property are
  // skipped, values longer than the store's limit are not even read); raises
  // OnRestoreEnd afterwards.
  void Restore();
  // Saves now, whatever was restored: the user replaced the stored values.
  void StoreNow() {
    FRestored = true;
    Store();
  }
  // The stored properties whose values were too long to be read at the last restore.
  QStringList Oversize() const { return FOversize; }

  QString FormLanguage;
  QString FormProgram;
  QString FormMask;
  bool AutoRestore = true;
  bool AutoStore = true;
  bool AutoStoreSkip = false;
  QString IndexName = QStringLiteral("0");
  QStringList StoredProps;

Q_SIGNALS:
  void OnStoreStart(QObject *Sender);
  void OnRestoreEnd(QObject *Sender);

private:
  bool FRestored = false;
  QStringList FOversize;
  QMap<QString, QString> FRestoredValues;
};
