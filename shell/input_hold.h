// Pointer and key input held while the stock deals, and let go in the order
// it came once the deal is over, through the window system's own path: a
// click made during the deal acts after it, and a shortcut key pressed then
// triggers its command afterwards, not in the middle of the deal. A request to
// close a window waits the same way. Timers, paint requests and the rest of
// the event loop go on meanwhile.
#pragma once

#include <QInputEvent>
#include <QObject>
#include <QPointer>
#include <QWindow>

#include <memory>
#include <vector>

namespace trisk {

class TInputHold : public QObject {
  public:
    TInputHold() = default;
    ~TInputHold() override;

    // From now on input to any window of the program waits.
    void Hold();
    // Hands the held input back to the window system and stops holding.
    void Release();
    bool Holding() const { return holding_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct THeld {
        QPointer<QWindow> Window;
        // Nothing for a close request.
        std::unique_ptr<QInputEvent> Event;
    };
    std::vector<THeld> held_;
    bool holding_ = false;
};

}  // namespace trisk
