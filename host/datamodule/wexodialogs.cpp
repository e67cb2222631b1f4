#include "datamodule/wexodialogs.h"
#include "datamodule/wexodmu.h"
#include "framework/qvnmessage.h"
#include "storage/wexostore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QDialogButtonBox *OkCancel(QDialog *dialog) {
  auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

QDialogButtonBox *CloseOnly(QDialog *dialog) {
  auto *box = new QDialogButtonBox(dialog);
  QPushButton *close = box->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole);
  close->setDefault(true);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}
} // namespace

void ShowStandInDialog(const QString &title, const QString &arguments) {
  if (Twexodm::AutoDialogs())
    return;
  QDialog dialog;
  dialog.setWindowTitle(title);
  auto *layout = new QVBoxLayout(&dialog);
  auto *heading = new QLabel(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
  layout->addWidget(heading);
  layout->addWidget(new QLabel(QStringLiteral("Dieser Dialog gehört zum Warenwirtschaftsmodul und wird hier "
                                              "stellvertretend angezeigt.")));
  if (!arguments.isEmpty())
    layout->addWidget(new QLabel(QStringLiteral("Aufrufwerte: %1").arg(arguments)));
  layout->addWidget(CloseOnly(&dialog));
  dialog.resize(460, dialog.sizeHint().height());
  dialog.exec();
}

bool SelectClientDialog(const TWexoStore *store, int &client, int &branch) {
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Mandant einstellen"));
  auto *layout = new QVBoxLayout(&dialog);
  auto *form = new QFormLayout;
  auto *clients = new QComboBox(&dialog);
  auto *branches = new QComboBox(&dialog);
  form->addRow(QStringLiteral("&Mandant:"), clients);
  form->addRow(QStringLiteral("&Filiale:"), branches);
  layout->addWidget(new QLabel(QStringLiteral("Bitte wählen Sie den Mandanten, mit dem Sie arbeiten möchten.")));
  layout->addLayout(form);
  layout->addWidget(OkCancel(&dialog));
  TWexoRows q = store->Exec(QStringLiteral("SELECT id, name FROM clients ORDER BY id"));
  while (q.next())
    clients->addItem(QStringLiteral("%1 – %2").arg(q.value(0).toInt()).arg(q.value(1).toString()), q.value(0));
  auto fillBranches = [&] {
    branches->clear();
    branches->addItem(QStringLiteral("(keine Filiale)"), 0);
    TWexoRows b = store->Exec(QStringLiteral("SELECT nr, name FROM branches WHERE client_id = ? ORDER BY nr"),
                              {clients->currentData()});
    while (b.next())
      branches->addItem(QStringLiteral("%1 – %2").arg(b.value(0).toInt()).arg(b.value(1).toString()), b.value(0));
  };
  QObject::connect(clients, &QComboBox::currentIndexChanged, &dialog, fillBranches);
  clients->setCurrentIndex(qMax(0, clients->findData(client)));
  fillBranches();
  branches->setCurrentIndex(qMax(0, branches->findData(branch)));
  if (dialog.exec() != QDialog::Accepted || clients->count() == 0)
    return false;
  client = clients->currentData().toInt();
  branch = branches->currentData().toInt();
  return true;
}

bool GeneralOptionsDialog(TWexoGeneralOptionsRec &options) {
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Allgemeine Einstellungen"));
  auto *layout = new QVBoxLayout(&dialog);
  auto *hide = new QCheckBox(QStringLiteral("&Bilder ausblenden"), &dialog);
  hide->setChecked(options.HidePictures);
  layout->addWidget(hide);
  layout->addWidget(OkCancel(&dialog));
  if (dialog.exec() != QDialog::Accepted)
    return false;
  options.HidePictures = hide->isChecked();
  return true;
}

void CurrenciesDialog(const TWexoStore *store) {
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Währungen"));
  auto *layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Währungen, die in Belegen angeboten werden:")));
  auto *list = new QListWidget(&dialog);
  TWexoRows q = store->Exec(QStringLiteral("SELECT code, name, selected FROM currencies ORDER BY code"));
  while (q.next()) {
    auto *item = new QListWidgetItem(QStringLiteral("%1 – %2").arg(q.value(0).toString(), q.value(1).toString()), list);
    item->setData(Qt::UserRole, q.value(0));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(q.value(2).toInt() ? Qt::Checked : Qt::Unchecked);
  }
  layout->addWidget(list);
  layout->addWidget(OkCancel(&dialog));
  if (dialog.exec() != QDialog::Accepted)
    return;
  store->Transaction([&] {
    for (int i = 0; i < list->count(); ++i)
      store->Exec(QStringLiteral("UPDATE currencies SET selected = ? WHERE code = ?"),
                  {list->item(i)->checkState() == Qt::Checked ? 1 : 0, list->item(i)->data(Qt::UserRole)});
  });
}

bool VisibleMenuItemsDialog(TWexoEntreeMenueInfos &infos, const QSet<qint32> &refused) {
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Sichtbare Menüpunkte"));
  auto *layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Wählen Sie, welche Menüpunkte in den Arbeitsbereichen erscheinen.")));
  auto *tree = new QTreeWidget(&dialog);
  tree->setColumnCount(2);
  tree->setHeaderHidden(true);
  tree->setAccessibleName(QStringLiteral("Menüpunkte"));
  QMap<QString, QTreeWidgetItem *> areas;
  QList<QTreeWidgetItem *> items;
  for (const TWexoEntreeMenueInfo &info : infos) {
    QTreeWidgetItem *&area = areas[info.AreaText];
    if (!area) {
      area = new QTreeWidgetItem(tree, {info.AreaText});
      area->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
      area->setExpanded(true);
    }
    auto *item = new QTreeWidgetItem(area, {info.MenuCaption});
    if (refused.contains(info.Tag)) {
      // The permission table decides; no tick here can show it.
      item->setFlags(Qt::NoItemFlags);
      item->setCheckState(0, Qt::Unchecked);
      item->setText(1, QStringLiteral("gesperrt"));
      item->setToolTip(0, QStringLiteral("Dieser Menüpunkt ist für diesen Arbeitsplatz gesperrt."));
    } else {
      item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
      item->setCheckState(0, info.Visible ? Qt::Checked : Qt::Unchecked);
    }
    items << item;
  }
  tree->expandAll();
  tree->header()->setStretchLastSection(false);
  tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  tree->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  layout->addWidget(tree);
  layout->addWidget(OkCancel(&dialog));
  dialog.resize(480, 560);
  if (dialog.exec() != QDialog::Accepted)
    return false;
  for (qsizetype i = 0; i < infos.size(); ++i)
    if (!refused.contains(infos.at(i).Tag))
      infos[i].Visible = items.at(i)->checkState(0) == Qt::Checked;
  return true;
}

void TaskOverviewDialog(const TWexoStore *store, const QString &title, const QString &kind, int subkind) {
  QDialog dialog;
  dialog.setWindowTitle(title);
  auto *layout = new QVBoxLayout(&dialog);
  auto *list = new QTreeWidget(&dialog);
  list->setHeaderLabels({QStringLiteral("Vorgang"), QStringLiteral("Fällig")});
  list->setRootIsDecorated(false);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  QString sql = QStringLiteral("SELECT id, title, due_at FROM pending_work WHERE kind = ? AND done = 0");
  QVariantList params{kind};
  if (subkind >= 0) {
    sql += QStringLiteral(" AND subkind = ?");
    params << subkind;
  }
  sql += QStringLiteral(" ORDER BY due_at, id LIMIT 500");
  TWexoRows q = store->Exec(sql, params);
  while (q.next()) {
    auto *item = new QTreeWidgetItem(list, {q.value(1).toString(),
                                            QDateTime::fromString(q.value(2).toString(), Qt::ISODate).toString("dd.MM.yyyy")});
    item->setData(0, Qt::UserRole, q.value(0));
  }
  list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  layout->addWidget(new QLabel(QStringLiteral("Markieren Sie erledigte Vorgänge und wählen Sie „Erledigt“.")));
  layout->addWidget(list);
  auto *buttons = CloseOnly(&dialog);
  QPushButton *done = buttons->addButton(QStringLiteral("&Erledigt"), QDialogButtonBox::ActionRole);
  QObject::connect(done, &QPushButton::clicked, &dialog, [&] {
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    if (selected.isEmpty())
      return;
    try {
      store->Transaction([&] {
        for (QTreeWidgetItem *item : selected)
          store->Exec(QStringLiteral("UPDATE pending_work SET done = 1 WHERE id = ?"), {item->data(0, Qt::UserRole)});
      });
      qDeleteAll(selected);
    } catch (const std::exception &e) {
      ErrorDialog(title, QString::fromUtf8(e.what()));
    }
  });
  layout->addWidget(buttons);
  dialog.resize(520, 380);
  dialog.exec();
}

bool QuickEntryDialog(const QString &title, TContextSatz &entry) {
  QDialog dialog;
  dialog.setWindowTitle(title);
  auto *layout = new QVBoxLayout(&dialog);
  auto *form = new QFormLayout;
  auto *name = new QLineEdit(entry.Name, &dialog);
  name->setMaxLength(200);
  auto *target = new QComboBox(&dialog);
  for (const TSchnellEinstiegZiel &t : SchnellEinstiegZiele())
    target->addItem(t.Caption, QStringList{t.Operation, t.Arguments});
  target->setCurrentIndex(qMax(0, target->findData(QStringList{entry.Operation, entry.Arguments})));
  form->addRow(QStringLiteral("&Name:"), name);
  form->addRow(QStringLiteral("&Ziel:"), target);
  layout->addLayout(form);
  auto *buttons = OkCancel(&dialog);
  layout->addWidget(buttons);
  auto check = [&] { buttons->button(QDialogButtonBox::Ok)->setEnabled(!name->text().trimmed().isEmpty()); };
  QObject::connect(name, &QLineEdit::textChanged, &dialog, check);
  check();
  dialog.resize(520, dialog.sizeHint().height());
  if (dialog.exec() != QDialog::Accepted)
    return false;
  const QStringList data = target->currentData().toStringList();
  entry.Name = name->text().trimmed();
  entry.Operation = data.value(0);
  entry.Arguments = data.value(1);
  return true;
}

bool ConfirmDialog(const QString &title, const QString &question) { return QVNMessages()->Ask(title, question); }

void ErrorDialog(const QString &title, const QString &text) {
  QVNMessages()->Show(title, text, TQVNMessageKind::Warning);
}

namespace {
// File dialogs open in the user's documents, then where the user went last.
QString &LastFolder() {
  static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return folder;
}
} // namespace

QString ChooseOpenFile(const QString &title, const QString &filter) {
  const QString path = QFileDialog::getOpenFileName(nullptr, title, LastFolder(), filter);
  if (!path.isEmpty())
    LastFolder() = QFileInfo(path).absolutePath();
  return path;
}

QString ChooseSaveFile(const QString &title, const QString &suggestedName, const QString &filter) {
  const QString path = QFileDialog::getSaveFileName(nullptr, title, QDir(LastFolder()).filePath(suggestedName), filter);
  if (!path.isEmpty())
    LastFolder() = QFileInfo(path).absolutePath();
  return path;
}
