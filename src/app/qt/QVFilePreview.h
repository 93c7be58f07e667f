#pragma once
// First-page pictures of listed PDFs for the settings panel, rendered off the
// GUI thread (a large page must not stall the window) and kept per file.

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>

#include <map>
#include <optional>
#include <set>
#include <string>

class QVFilePreview : public QObject {
    Q_OBJECT
public:
    explicit QVFilePreview(QObject* parent = nullptr);

    /// Whether this build can render pages at all.
    static bool canRender();
    /// The first page fitted into `box` (device pixels), rendered now; a null
    /// image when the file cannot be rendered.
    static QImage renderFirstPage(const QString& path, const std::optional<std::string>& password,
                                  QSize box);

    /// The cached picture, or a null image after starting its rendering
    /// (ready() follows).
    QImage imageForPath(const QString& path, const std::optional<std::string>& password, QSize box);

signals:
    void ready(const QString& path);

private:
    std::map<QString, QImage> cache_;
    std::set<QString> pending_;
};
