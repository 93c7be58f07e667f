#pragma once
// The application's pictures by name ("icon_pdf", "icon_xlsx", "POI_History",
// "btn-convert", ...), drawn as vectors at the screen's pixel density so they
// stay sharp on high-DPI displays.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace QVImages {
/// The picture at `size` logical pixels for a device pixel ratio; an empty
/// pixmap for a name it does not know.
QPixmap pixmap(const QString& name, QSize size, qreal devicePixelRatio = 1.0);
/// The window and application icon.
QIcon applicationIcon();
/// Whether the name is one of the pictures drawn here.
bool hasImage(const QString& name);
} // namespace QVImages
