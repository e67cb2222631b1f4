#include "framework/qvnmessage.h"
#include "framework/qvnframework.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

TQVNMessages *QVNMessages() {
  static TQVNMessages instance;
  return &instance;
}

namespace {
// Automated runs and programs without windows get no message boxes.
bool NoBoxes() { return QVNAutoDialogs() || !qobject_cast<QApplication *>(QCoreApplication::instance()); }
} // namespace

// The texts of this user action; forgotten when control is back in the event loop.
void TQVNMessages::RememberThisTurn(const QString &text) {
  if (FThisTurn.isEmpty() && QCoreApplication::instance())
    QTimer::singleShot(0, QCoreApplication::instance(), [this] { FThisTurn.clear(); });
  FThisTurn.insert(text);
}

void TQVNMessages::Show(const QString &title, const QString &text, TQVNMessageKind kind) {
  if (FThisTurn.contains(text))
    return;
  RememberThisTurn(text);
  Shown << text;
  if (NoBoxes()) {
    std::fprintf(stderr, "%s: %s\n", title.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    return;
  }
  const QMessageBox::Icon icon = kind == TQVNMessageKind::Error     ? QMessageBox::Critical
                                 : kind == TQVNMessageKind::Warning ? QMessageBox::Warning
                                                                    : QMessageBox::Information;
  QMessageBox box(icon, title, text, QMessageBox::Ok, QApplication::activeWindow());
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.exec();
  // The box's own event loop ended the action's turn; the rest of the action
  // still must not show the same text again.
  RememberThisTurn(text);
}

bool TQVNMessages::FirstTimeThisRun(const QString &text) {
  if (FThisRun.contains(text))
    return false;
  FThisRun.insert(text);
  return true;
}

void TQVNMessages::ReportFailure(const QString &where, const std::exception &e) {
  if (FHeld || FQuiet.contains(where))
    return;
  if (dynamic_cast<const TQVNOncePerRun *>(&e) && !FirstTimeThisRun(QString::fromUtf8(e.what())))
    return;
  const QString what = FWhat.value(where, QStringLiteral("Der Vorgang konnte nicht ausgeführt werden"));
  Show(QStringLiteral("Artikelverwaltung"), what + QStringLiteral(":\n\n") + QString::fromUtf8(e.what()));
}

bool TQVNMessages::Ask(const QString &title, const QString &question) {
  if (NoBoxes())
    return true;
  QMessageBox box(QMessageBox::Question, title, question, QMessageBox::Yes | QMessageBox::No,
                  QApplication::activeWindow());
  box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
  box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}
