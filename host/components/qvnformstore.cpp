#include "components/qvnformstore.h"
#include "storage/wexostore.h"
#include "framework/qvnguard.h"

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

void TQVNFormStore::Store() {
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
  const QString formId = FormId();
  store->Transaction([&] {
    for (const auto &[prop, value] : values) {
      store->Exec(QStringLiteral("DELETE FROM form_store WHERE form_id = ? AND index_name = ? AND property = ?"),
                  {formId, IndexName, prop});
      store->Exec(
          QStringLiteral("INSERT INTO form_store (form_id, index_name, property, value) VALUES (?, ?, ?, ?)"),
          {formId, IndexName, prop, value});
    }
  });
}

void TQVNFormStore::Restore() {
  TWexoStore *store = RequireStore();
  QSqlQuery q = store->Exec(QStringLiteral("SELECT property, value FROM form_store WHERE form_id = ? AND index_name = ?"),
                            {FormId(), IndexName});
  QMap<QString, QString> stored;
  while (q.next())
    stored.insert(q.value(0).toString(), q.value(1).toString());
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
  Q_EMIT OnRestoreEnd(this);
}
