#include "QVSourceTableCellView.h"

#include "QVImages.h"
#include "QVSourceFileListModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionProgressBar>
#include <QWidget>

namespace {
constexpr int kIcon = 36;
constexpr int kStatusWidth = 220;

qreal ratioOf(const QStyleOptionViewItem& option) {
    return option.widget ? option.widget->devicePixelRatioF() : qApp->devicePixelRatio();
}
} // namespace

QVSourceTableCellView::QVSourceTableCellView(QObject* parent) : QStyledItemDelegate(parent) {}

QRect QVSourceTableCellView::removeButtonRect(const QRect& row) {
    return QRect(row.right() - 28, row.center().y() - 9, 18, 18);
}

QRect QVSourceTableCellView::outputIconRect(const QRect& row) {
    return QRect(row.right() - 66, row.center().y() - 14, 28, 28);
}

QSize QVSourceTableCellView::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    // As wide as the list shows it: a fixed width would scroll a narrow list sideways.
    const QWidget* w = option.widget;
    if (auto* view = qobject_cast<const QAbstractItemView*>(w))
        return QSize(view->viewport()->width(), kRowHeight);
    return QSize(option.rect.width() > 0 ? option.rect.width() : 400, kRowHeight);
}

void QVSourceTableCellView::paint(QPainter* p, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    const QRect r = option.rect;
    const qreal dpr = ratioOf(option);
    const bool selected = option.state & QStyle::State_Selected;
    const bool hovered = option.state & QStyle::State_MouseOver;
    const QPalette& pal = option.palette;

    p->fillRect(r, pal.color(QPalette::Base));
    if (selected) {
        const QColor fill = pal.color(QPalette::Highlight).lighter(185);
        p->setPen(QPen(QColor(184, 184, 184), 1));
        p->setBrush(fill.lightness() > 200 ? fill : QColor(232, 240, 250));
        p->drawRoundedRect(QRectF(r).adjusted(1.5, 0.5, -1.5, -1.5), 5, 5);
    } else if (hovered) {
        // A band that fades in at the left and out at the right.
        QLinearGradient band(r.topLeft(), r.topRight());
        const QColor c(236, 241, 247);
        band.setColorAt(0, QColor(c.red(), c.green(), c.blue(), 0));
        band.setColorAt(0.35, c);
        band.setColorAt(0.65, c);
        band.setColorAt(1, QColor(c.red(), c.green(), c.blue(), 0));
        p->fillRect(r.adjusted(0, 0, 0, -1), band);
    }
    // Separator: the row's last line, fading at both ends.
    {
        QLinearGradient sep(r.bottomLeft(), r.bottomRight());
        const QColor c(204, 204, 204);
        sep.setColorAt(0, QColor(c.red(), c.green(), c.blue(), 0));
        sep.setColorAt(0.35, c);
        sep.setColorAt(0.65, c);
        sep.setColorAt(1, QColor(c.red(), c.green(), c.blue(), 0));
        p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), sep);
    }

    const QRect iconRect(r.left() + 10, r.center().y() - kIcon / 2, kIcon, kIcon);
    p->drawPixmap(iconRect, QVImages::pixmap(index.data(QVSourceFileListModel::SourceIconRole).toString(),
                                             iconRect.size(), dpr));

    const QRect statusBox(outputIconRect(r).left() - 14 - kStatusWidth, r.top() + 6, kStatusWidth,
                          r.height() - 12);
    const int textLeft = iconRect.right() + 10;
    const QRect textBox(textLeft, r.top() + 7, qMax(40, statusBox.left() - 12 - textLeft), r.height() - 14);
    QFont titleFont = option.font;
    titleFont.setBold(true);
    p->setFont(titleFont);
    p->setPen(pal.color(QPalette::Text));
    const QString title = index.data(QVSourceFileListModel::TitleRole).toString();
    p->drawText(QRect(textBox.left(), textBox.top(), textBox.width(), textBox.height() / 2),
                Qt::AlignLeft | Qt::AlignVCenter,
                QFontMetrics(titleFont).elidedText(title, Qt::ElideMiddle, textBox.width()));
    QFont small = option.font;
    small.setPointSizeF(option.font.pointSizeF() * 0.9);
    p->setFont(small);
    p->setPen(pal.color(QPalette::PlaceholderText));
    p->drawText(QRect(textBox.left(), textBox.center().y(), textBox.width(), textBox.height() / 2),
                Qt::AlignLeft | Qt::AlignVCenter,
                index.data(QVSourceFileListModel::InfoRole).toString());

    const bool converting = index.data(QVSourceFileListModel::ConvertingRole).toBool();
    const double progress = index.data(QVSourceFileListModel::ProgressRole).toDouble();
    const QString status = index.data(QVSourceFileListModel::StatusRole).toString();
    if (converting && progress < 100) {
        QStyleOptionProgressBar bar;
        bar.rect = QRect(statusBox.left(), statusBox.center().y() - 3, statusBox.width(), 14);
        bar.minimum = 0;
        bar.maximum = 1000;
        bar.progress = static_cast<int>(progress * 10);
        bar.state = QStyle::State_Enabled | QStyle::State_Horizontal;
        bar.palette = pal;
        bar.textVisible = false;
        const QWidget* w = option.widget;
        (w ? w->style() : QApplication::style())->drawControl(QStyle::CE_ProgressBar, &bar, p, w);
        p->setPen(pal.color(QPalette::PlaceholderText));
        p->drawText(QRect(statusBox.left(), statusBox.top(), statusBox.width(), statusBox.height() / 2 - 2),
                    Qt::AlignLeft | Qt::AlignVCenter,
                    QStringLiteral("Converting… %1%").arg(static_cast<int>(progress)));
    } else {
        const QRect statusIcon(statusBox.left(), statusBox.center().y() - 8, 16, 16);
        p->drawPixmap(statusIcon,
                      QVImages::pixmap(index.data(QVSourceFileListModel::StatusIconRole).toString(),
                                       statusIcon.size(), dpr));
        QColor colour = pal.color(QPalette::Text);
        if (status.endsWith("Success!"))
            colour = QColor(0x1e, 0x7e, 0x3e);
        else if (status.endsWith("Failed!"))
            colour = QColor(0xc0, 0x39, 0x2b);
        p->setPen(colour);
        const QRect text(statusIcon.right() + 6, statusBox.top(), statusBox.right() - statusIcon.right() - 6,
                         statusBox.height());
        p->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(small).elidedText(status, Qt::ElideLeft, text.width()));
    }

    const QRect out = outputIconRect(r);
    p->setOpacity(index.data(QVSourceFileListModel::OutputEnabledRole).toBool() ? 1.0 : 0.35);
    p->drawPixmap(out, QVImages::pixmap(index.data(QVSourceFileListModel::OutputIconRole).toString(),
                                        out.size(), dpr));
    p->setOpacity(1.0);

    if (hovered) {
        const QRect x = removeButtonRect(r);
        p->setPen(Qt::NoPen);
        p->setBrush(QColor(0x9a, 0xa0, 0xa6));
        p->drawEllipse(x);
        p->setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        const QRectF k = QRectF(x).adjusted(5.5, 5.5, -5.5, -5.5);
        p->drawLine(k.topLeft(), k.bottomRight());
        p->drawLine(k.topRight(), k.bottomLeft());
    }
    p->restore();
}

bool QVSourceTableCellView::editorEvent(QEvent* event, QAbstractItemModel* model,
                                        const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton && removeButtonRect(option.rect).contains(at)) {
            if (delegate_)
                delegate_->QVSourceTableCellViewDidPressRemove(*this, index);
            return true;
        }
        if (mouse->button() == Qt::LeftButton && outputIconRect(option.rect).contains(at) &&
            index.data(QVSourceFileListModel::OutputEnabledRole).toBool()) {
            if (delegate_)
                delegate_->QVSourceTableCellViewDidPressOpenOutputFile(*this, index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}
