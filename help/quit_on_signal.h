#pragma once

#include <QObject>

class QSocketNotifier;

namespace trisk {

// Ends the event loop in an orderly way when the process is asked to end
// (SIGTERM, SIGINT, SIGHUP: a logout, a kill, a closed terminal), so that the
// viewer's window and its single-instance socket are taken down as on a
// normal close instead of leaving the socket file behind. A signal handler
// may do almost nothing, so it only writes a byte to a pipe that the event
// loop watches.
class QuitOnSignal : public QObject {
    Q_OBJECT
  public:
    explicit QuitOnSignal(QObject* parent = nullptr);
    ~QuitOnSignal() override;
    QuitOnSignal(const QuitOnSignal&) = delete;
    QuitOnSignal& operator=(const QuitOnSignal&) = delete;

  private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace trisk
