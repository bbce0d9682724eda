#pragma once

#include <QImage>
#include <QString>

namespace kelvora {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setImage(const QImage& image) = 0;  // replaces what the clipboard held
    virtual QImage image() const = 0;                // null when it holds no picture
    virtual void setText(const QString& text) = 0;   // replaces what the clipboard held
};

}  // namespace kelvora
