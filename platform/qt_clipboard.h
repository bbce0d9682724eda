#pragma once

#include "seams/clipboard.h"

namespace kelvora {

class QtClipboard : public Clipboard {
public:
    void setImage(const QImage& image) override;
    QImage image() const override;
    void setText(const QString& text) override;
};

}  // namespace kelvora
