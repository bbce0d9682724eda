#pragma once

#include <QLabel>

namespace kelvora {

// A label placed in twips. The twip position is kept exactly, so a label moved in steps that
// do not fall on whole pixels still reads back the position it was given.
class TwipLabel : public QLabel {
    Q_OBJECT
public:
    explicit TwipLabel(const QString& caption = QString(), QWidget* parent = nullptr);

    int leftTwips() const { return left_; }
    int topTwips() const { return top_; }
    int widthTwips() const { return width_; }
    int heightTwips() const { return height_; }

    void setLeftTwips(int twips);
    void setTopTwips(int twips);
    void setGeometryTwips(int left, int top, int width, int height);

    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

private:
    void applyGeometry();

    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace kelvora
