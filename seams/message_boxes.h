#pragma once

#include <QString>

class QWidget;

namespace kelvora {

// Modal message boxes with a single OK button, and a question answered Yes or No.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void exclamation(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // True when the user answers Yes; No is the default button.
    virtual bool question(QWidget* parent, const QString& title, const QString& text) = 0;
    virtual void beep() = 0;
};

}  // namespace kelvora
