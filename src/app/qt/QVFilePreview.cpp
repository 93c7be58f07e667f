#include "QVFilePreview.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#if defined(CORVALA_HAVE_POPPLER_QT6)
#include <poppler-qt6.h>
#endif

QVFilePreview::QVFilePreview(QObject* parent) : QObject(parent) {}

bool QVFilePreview::canRender() {
#if defined(CORVALA_HAVE_POPPLER_QT6)
    return true;
#else
    return false;
#endif
}

QImage QVFilePreview::renderFirstPage(const QString& path, const std::optional<std::string>& password,
                                      QSize box) {
#if defined(CORVALA_HAVE_POPPLER_QT6)
    const QByteArray pw = password ? QByteArray::fromStdString(*password) : QByteArray();
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path, pw, pw);
    if (!doc || doc->isLocked() || doc->numPages() < 1 || box.isEmpty())
        return {};
    std::unique_ptr<Poppler::Page> page = doc->page(0);
    if (!page)
        return {};
    const QSizeF points = page->pageSizeF();
    if (points.width() <= 0 || points.height() <= 0)
        return {};
    const double scale = std::min(box.width() / points.width(), box.height() / points.height());
    doc->setRenderHint(Poppler::Document::Antialiasing);
    doc->setRenderHint(Poppler::Document::TextAntialiasing);
    return page->renderToImage(72.0 * scale, 72.0 * scale);
#else
    (void)path;
    (void)password;
    (void)box;
    return {};
#endif
}

QImage QVFilePreview::imageForPath(const QString& path, const std::optional<std::string>& password,
                                   QSize box) {
    if (auto it = cache_.find(path); it != cache_.end())
        return it->second;
    if (!canRender() || pending_.count(path))
        return {};
    pending_.insert(path);
    QPointer<QVFilePreview> self(this);
    QThreadPool::globalInstance()->start([self, path, password, box] {
        QImage image = renderFirstPage(path, password, box);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, path, image] {
                if (!self)
                    return;
                self->pending_.erase(path);
                self->cache_[path] = image;
                emit self->ready(path);
            },
            Qt::QueuedConnection);
    });
    return {};
}
