#include "QVImages.h"

#include <QPainter>
#include <QPainterPath>

#include <cstring>
#include <map>

namespace {

struct Badge {
    QColor colour;
    const char* text;
};

const std::map<QString, Badge>& formatBadges() {
    static const std::map<QString, Badge> badges{
        {"icon_pdf", {QColor(0xd9, 0x40, 0x3a), "PDF"}},
        {"icon_pdf_pw", {QColor(0xd9, 0x40, 0x3a), "PDF"}},
        {"icon_xlsx", {QColor(0x1f, 0x8a, 0x4c), "XLSX"}},
        {"icon_csv", {QColor(0x16, 0x7f, 0x86), "CSV"}},
        {"icon_txt", {QColor(0x6b, 0x72, 0x80), "TXT"}},
        {"icon_rtf", {QColor(0x2b, 0x5c, 0xb8), "RTF"}},
        {"icon_html", {QColor(0xe0, 0x7a, 0x1f), "HTML"}},
        {"icon_docx", {QColor(0x2b, 0x57, 0x9a), "DOCX"}},
        {"icon_pptx", {QColor(0xc4, 0x3e, 0x1c), "PPTX"}},
        {"icon_unknown", {QColor(0x9a, 0xa0, 0xa6), "?"}},
    };
    return badges;
}

// A sheet of paper with a folded corner and a coloured label.
void drawDocument(QPainter& p, const QRectF& box, const Badge& badge, bool padlock) {
    const qreal w = box.height() * 0.78, h = box.height() * 0.96;
    const QRectF page(box.center().x() - w / 2, box.top() + box.height() * 0.02, w, h);
    const qreal fold = w * 0.3;
    QPainterPath sheet;
    sheet.moveTo(page.topLeft());
    sheet.lineTo(page.right() - fold, page.top());
    sheet.lineTo(page.right(), page.top() + fold);
    sheet.lineTo(page.bottomRight());
    sheet.lineTo(page.bottomLeft());
    sheet.closeSubpath();
    p.setPen(QPen(QColor(0x8a, 0x8f, 0x98), qMax(1.0, box.height() / 40)));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(page.right() - fold, page.top());
    corner.lineTo(page.right() - fold, page.top() + fold);
    corner.lineTo(page.right(), page.top() + fold);
    corner.closeSubpath();
    p.setBrush(QColor(0xdf, 0xe3, 0xe8));
    p.drawPath(corner);
    // Text lines on the page.
    p.setPen(QPen(QColor(0xc8, 0xcd, 0xd3), qMax(1.0, box.height() / 32)));
    for (int i = 0; i < 3; ++i) {
        const qreal y = page.top() + h * (0.38 + 0.1 * i);
        p.drawLine(QPointF(page.left() + w * 0.15, y), QPointF(page.right() - w * 0.15, y));
    }
    const QRectF label(page.left() - w * 0.12, page.top() + h * 0.66, w * 0.95, h * 0.24);
    p.setPen(Qt::NoPen);
    p.setBrush(badge.colour);
    p.drawRoundedRect(label, h * 0.04, h * 0.04);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(qMax(5, int(label.height() * (std::strlen(badge.text) > 3 ? 0.58 : 0.7))));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(label, Qt::AlignCenter, QString::fromLatin1(badge.text));
    if (padlock) {
        const qreal s = h * 0.42;
        const QRectF body(page.right() - s * 0.75, page.bottom() - s * 0.7, s, s * 0.7);
        p.setPen(QPen(QColor(0x5f, 0x63, 0x68), s * 0.14));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(body.left() + s * 0.2, body.top() - s * 0.45, s * 0.6, s * 0.8), 0, 180 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf2, 0xb1, 0x34));
        p.drawRoundedRect(body, s * 0.1, s * 0.1);
    }
}

void drawStatus(QPainter& p, const QRectF& box, const QString& name) {
    const QRectF c = box.adjusted(box.width() * 0.08, box.height() * 0.08, -box.width() * 0.08,
                                  -box.height() * 0.08);
    const qreal pen = c.width() * 0.12;
    if (name == "POI_History") {
        p.setPen(QPen(QColor(0x9a, 0xa0, 0xa6), pen * 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c);
        p.drawLine(c.center(), QPointF(c.center().x(), c.top() + c.height() * 0.22));
        p.drawLine(c.center(), QPointF(c.right() - c.width() * 0.25, c.center().y()));
        return;
    }
    const bool ok = name == "status_success";
    p.setPen(Qt::NoPen);
    p.setBrush(ok ? QColor(0x2e, 0xa0, 0x4f) : QColor(0xd9, 0x40, 0x3a));
    p.drawEllipse(c);
    p.setPen(QPen(Qt::white, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (ok) {
        QPainterPath tick;
        tick.moveTo(c.left() + c.width() * 0.27, c.top() + c.height() * 0.52);
        tick.lineTo(c.left() + c.width() * 0.44, c.top() + c.height() * 0.68);
        tick.lineTo(c.left() + c.width() * 0.74, c.top() + c.height() * 0.34);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    } else {
        const qreal k = c.width() * 0.3;
        p.drawLine(c.topLeft() + QPointF(k, k), c.bottomRight() - QPointF(k, k));
        p.drawLine(QPointF(c.right() - k, c.top() + k), QPointF(c.left() + k, c.bottom() - k));
    }
}

void drawEye(QPainter& p, const QRectF& box) {
    const QRectF e(box.left() + box.width() * 0.3, box.center().y() - box.height() * 0.15,
                   box.width() * 0.4, box.height() * 0.3);
    QPainterPath lid;
    lid.moveTo(e.left(), e.center().y());
    lid.quadTo(e.center().x(), e.top() - e.height() * 0.6, e.right(), e.center().y());
    lid.quadTo(e.center().x(), e.bottom() + e.height() * 0.6, e.left(), e.center().y());
    p.setPen(QPen(QColor(0xb4, 0xb9, 0xc0), e.height() * 0.08));
    p.setBrush(QColor(0xf4, 0xf5, 0xf7));
    p.drawPath(lid);
    p.setBrush(QColor(0xb4, 0xb9, 0xc0));
    p.drawEllipse(e.center(), e.height() * 0.28, e.height() * 0.28);
}

// The convert and cancel buttons: a rounded pill with an arrow or a cross.
void drawButton(QPainter& p, const QRectF& box, const QString& name) {
    const bool cancel = name.startsWith("btn-cancel");
    QColor base = cancel ? QColor(0xd9, 0x40, 0x3a) : QColor(0x1f, 0x8a, 0x4c);
    if (name.endsWith("-hover"))
        base = base.lighter(112);
    else if (name.endsWith("-down"))
        base = base.darker(125);
    const QRectF r = box.adjusted(1, 1, -1, -1);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, base.lighter(115));
    g.setColorAt(1, base);
    p.setPen(QPen(base.darker(130), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(int(r.height() * 0.42));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, cancel ? QStringLiteral("Cancel") : QStringLiteral("Convert"));
}

} // namespace

namespace QVImages {

bool hasImage(const QString& name) {
    return formatBadges().count(name) || name == "POI_History" || name == "status_success" ||
           name == "status_failure" || name == "default-eye" || name.startsWith("btn-convert") ||
           name.startsWith("btn-cancel") || name == "app";
}

QPixmap pixmap(const QString& name, QSize size, qreal devicePixelRatio) {
    if (!hasImage(name) || size.isEmpty())
        return {};
    QPixmap pm(size * devicePixelRatio);
    pm.setDevicePixelRatio(devicePixelRatio);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box(QPointF(0, 0), QSizeF(size));
    if (auto it = formatBadges().find(name); it != formatBadges().end())
        drawDocument(p, box, it->second, name == "icon_pdf_pw");
    else if (name == "POI_History" || name.startsWith("status_"))
        drawStatus(p, box, name);
    else if (name == "default-eye")
        drawEye(p, box);
    else if (name == "app")
        drawDocument(p, box, {QColor(0x1f, 0x8a, 0x4c), "XLSX"}, false);
    else
        drawButton(p, box, name);
    return pm;
}

QIcon applicationIcon() {
    QIcon icon = QIcon::fromTheme(QStringLiteral("corvala-app"));
    if (!icon.isNull())
        return icon;
    for (int s : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(pixmap(QStringLiteral("app"), QSize(s, s)));
    return icon;
}

} // namespace QVImages
