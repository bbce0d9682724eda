#pragma once

#include <QPushButton>

namespace kelvora {

// A command button that shows its picture above its caption, as the toolbar-like buttons of
// the window do. Icon and text stay the ordinary QPushButton properties.
class PictureButton : public QPushButton {
    Q_OBJECT
public:
    explicit PictureButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace kelvora
