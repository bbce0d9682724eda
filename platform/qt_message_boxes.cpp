#include "platform/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace kelvora {

namespace {

// A carriage return alone is a line break in these texts.
QString withLineBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, withLineBreaks(text), QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

void QtMessageBoxes::information(QWidget* parent, const QString& title, const QString& text) {
    show(parent, QMessageBox::Information, title, text);
}

void QtMessageBoxes::exclamation(QWidget* parent, const QString& title, const QString& text) {
    show(parent, QMessageBox::Warning, title, text);
}

void QtMessageBoxes::warning(QWidget* parent, const QString& title, const QString& text) {
    show(parent, QMessageBox::Warning, title, text);
}

bool QtMessageBoxes::question(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, withLineBreaks(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtMessageBoxes::beep() {
    QApplication::beep();
}

}  // namespace kelvora
