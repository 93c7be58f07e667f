#include "QVImageButton.h"

#include "QVImages.h"

#include <QPainter>

QVImageButton::QVImageButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void QVImageButton::setImages(const QString& normal, const QString& mouseDown, const QString& mouseIn) {
    normalImage_ = normal;
    mouseDownImage_ = mouseDown;
    mouseInImage_ = mouseIn;
    update();
}

QSize QVImageButton::sizeHint() const { return QSize(132, 34); }

void QVImageButton::enterEvent(QEnterEvent* event) {
    mouseInside_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void QVImageButton::leaveEvent(QEvent* event) {
    mouseInside_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void QVImageButton::paintEvent(QPaintEvent*) {
    QString name = normalImage_;
    if (mouseInside_) {
        const QString candidate = isDown() ? mouseDownImage_ : mouseInImage_;
        if (QVImages::hasImage(candidate))
            name = candidate;
    }
    QPainter p(this);
    if (!isEnabled())
        p.setOpacity(0.5);
    p.drawPixmap(rect(), QVImages::pixmap(name, size(), devicePixelRatioF()));
    if (hasFocus()) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), height() / 2.0, height() / 2.0);
    }
}
