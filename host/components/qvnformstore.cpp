#include "components/qvnformstore.h"
#include "storage/wexostore.h"
#include "framework/qvnguard.h"
#include "framework/qvnframework.h"

#include <QMetaProperty>
#include <stdexcept>

namespace {
TWexoStore *RequireStore() {
  TWexoStore *store = TWexoStore::Current();
  if (!store)
    throw std::runtime_error("Für die Fenstereinstellungen ist keine Datenbank geöffnet.");
  return store;
}

// The component of a "component.Property" entry of the form, and the property's name.
QObject *Resolve(const QWidget *form, const QString &prop, QByteArray &property) {
  const qsizetype dot = prop.indexOf(QLatin1Char('.'));
  if (!form || dot <= 0 || dot == prop.size() - 1)
    return nullptr;
  const QString component = prop.left(dot);
  property = prop.mid(dot + 1).toLatin1();
  if (form->objectName() == component)
    return const_cast<QWidget *>(form);
  return form->findChild<QObject *>(component);
}
} // namespace

TQVNFormStore::TQVNFormStore(QWidget *parent) : QWidget(parent) {
  setVisible(false);
  setFixedSize(0, 0);
  // Restores after the form's creation handler and saves when a close was
  // accepted; a failing database is reported and does not stop the form.
  QVNMessages()->SetWhat(QStringLiteral("TQVNFormStore.Store"),
                         QStringLiteral("Die Fensteranordnung und die Einstellungen dieses Arbeitsplatzes konnten nicht "
                                        "gespeichert werden"));
  QVNMessages()->SetWhat(QStringLiteral("TQVNFormStore.Restore"),
                         QStringLiteral("Die gespeicherte Fensteranordnung konnte nicht gelesen werden"));
  if (auto *form = qobject_cast<TQVNForm *>(window())) {
    connect(form, &TQVNForm::Created, this, [this] {
      if (AutoRestore)
        QVNGuard(QStringLiteral("TQVNFormStore.Restore"), [this] { Restore(); });
    });
    connect(form, &TQVNForm::Closing, this, [this] {
      if (AutoStore)
        QVNGuard(QStringLiteral("TQVNFormStore.Store"), [this] { Store(); });
    });
  }
}

QString TQVNFormStore::FormId() const { return FormLanguage + QLatin1Char('.') + FormProgram + QLatin1Char('.') + FormMask; }

// Only what was restored is saved: a form that closes before its restore
// (an early end at creation, a failed read) leaves every stored value as it was.
void TQVNFormStore::Store() {
  if (!FRestored)
    return;
  Q_EMIT OnStoreStart(this);
  QList<std::pair<QString, QString>> values;
  for (const QString &prop : StoredProps) {
    QByteArray property;
    QObject *o = Resolve(window(), prop, property);
    if (!o)
      continue;
    const QVariant v = o->property(property.constData());
    if (!v.isValid())
      continue;
    values.append({prop, v.toString()});
  }
  TWexoStore *store = RequireStore();
  // What did not change since the restore is not written again; a database
  // that takes no writes (read-only, damaged) was reported when that was found.
  values.removeIf([this](const std::pair<QString, QString> &v) {
    const auto restored = FRestoredValues.constFind(v.first);
    return restored != FRestoredValues.cend() && *restored == v.second;
  });
  if (values.isEmpty() || !store->Connection()->Writable())
    return;
  // One statement for all values: atomic by itself, and one round trip on a slow link.
  QStringList rows;
  QVariantList params;
  for (const auto &[prop, value] : values) {
    rows << QStringLiteral("(?, ?, ?, ?)");
    params << FormId() << IndexName << prop << value;
  }
  store->Exec(QStringLiteral("INSERT INTO form_store (form_id, index_name, property, value) VALUES ") +
                  rows.join(QStringLiteral(", ")) +
                  QStringLiteral(" ON CONFLICT (form_id, index_name, property) DO UPDATE SET value = excluded.value"),
              params);
  for (const auto &[prop, value] : values)
    FRestoredValues.insert(prop, value);
}

void TQVNFormStore::Restore() {
  TWexoStore *store = RequireStore();
  QMap<QString, QString> stored;
  FOversize.clear();
  if (IndexName == QVNInfoTerminalID()) {
    const TWexoSnapshot snapshot = store->Read(wpFormStore);
    stored = snapshot.FormStore.value(FormId());
    FOversize = snapshot.FormStoreOversize.value(FormId());
  } else {
    TWexoRows q = store->Exec(QStringLiteral("SELECT property, CASE WHEN %2 <= %1 THEN value ELSE '' END, "
                                             "%2 FROM form_store WHERE form_id = ? AND index_name = ?")
                                  .arg(TWexoStore::MaxFormValueLength)
                                  .arg(TWexoStore::ByteLength(store->IsPostgres(), QStringLiteral("value"))),
                              {FormId(), IndexName});
    while (q.next()) {
      if (q.value(2).toLongLong() > TWexoStore::MaxFormValueLength)
        FOversize << q.value(0).toString();
      else
        stored.insert(q.value(0).toString(), q.value(1).toString());
    }
  }
  for (const QString &prop : StoredProps) {
    if (!stored.contains(prop))
      continue;
    QByteArray property;
    QObject *o = Resolve(window(), prop, property);
    if (!o)
      continue;
    const int index = o->metaObject()->indexOfProperty(property.constData());
    if (index < 0)
      continue;
    const QMetaProperty mp = o->metaObject()->property(index);
    QVariant value(stored.value(prop));
    // A value that does not convert to the property's type is not applied.
    if (mp.typeId() == QMetaType::Int) {
      bool ok = false;
      const int i = stored.value(prop).trimmed().toInt(&ok);
      if (!ok)
        continue;
      value = i;
    }
    mp.write(o, value);
  }
  // What the form holds now, read or by design, is what a save compares with:
  // a run that changed nothing (a direct start) writes nothing.
  FRestoredValues.clear();
  for (const QString &prop : StoredProps) {
    QByteArray property;
    if (const QObject *o = Resolve(window(), prop, property))
      if (const QVariant v = o->property(property.constData()); v.isValid())
        FRestoredValues.insert(prop, v.toString());
  }
  FRestored = true;
  Q_EMIT OnRestoreEnd(this);
}
