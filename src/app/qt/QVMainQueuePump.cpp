#include "QVMainQueuePump.h"

#include "platform/Dispatch.h"

#include <QMetaObject>

QVMainQueuePump::QVMainQueuePump(QObject* parent) : QObject(parent) {
    platform::MainQueue::shared().setPostObserver([this] {
        QMetaObject::invokeMethod(this, &QVMainQueuePump::drain, Qt::QueuedConnection);
    });
    // Reports posted before the pump existed.
    QMetaObject::invokeMethod(this, &QVMainQueuePump::drain, Qt::QueuedConnection);
}

QVMainQueuePump::~QVMainQueuePump() { platform::MainQueue::shared().setPostObserver(nullptr); }

void QVMainQueuePump::drain() { platform::MainQueue::shared().drain(); }
