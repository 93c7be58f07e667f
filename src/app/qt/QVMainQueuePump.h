#pragma once
// Runs the engine's main queue on the GUI thread: every post from a
// conversion worker schedules a drain through a queued invocation, so the
// manager's reports reach the widgets on their own thread, in order.

#include <QObject>

class QVMainQueuePump : public QObject {
    Q_OBJECT
public:
    explicit QVMainQueuePump(QObject* parent = nullptr);
    ~QVMainQueuePump() override;

public slots:
    void drain();
};
