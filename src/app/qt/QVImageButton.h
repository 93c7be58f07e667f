#pragma once
// A button drawn from three pictures: normal, pressed and under the mouse.
// A click fires on release inside the button.

#include <QAbstractButton>

class QVImageButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit QVImageButton(QWidget* parent = nullptr);

    /// Picture names for the three states ("btn-convert", "btn-convert-down", ...).
    void setImages(const QString& normal, const QString& mouseDown, const QString& mouseIn);
    const QString& normalImage() const { return normalImage_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString normalImage_, mouseDownImage_, mouseInImage_;
    bool mouseInside_ = false;
};
