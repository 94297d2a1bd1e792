#include "shell/hint.h"

#include <QCursor>

#include <cstring>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

#include "history/game.h"
#include "table/spots.h"
#include "table/table_view.h"

namespace trisk {

namespace {

// The search yields the processor to everything else: on Linux the nice value
// belongs to the thread, so only the worker becomes the nicest possible.
void LowerThisThreadsPriority() {
#ifdef __linux__
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
#endif
}

// TPosition has no padding, so its bytes compare it whole.
static_assert(sizeof(TPosition) == sizeof(TBoard) + 2 * sizeof(int32_t));

}  // namespace

THint::THint(TGame& game, TTableView& table, TGameDialogs& dialogs)
    : game_(game), table_(table), dialogs_(dialogs) {
    markTimer_.setSingleShot(true);
    markTimer_.setInterval(kMarkMilliseconds);
    connect(&markTimer_, &QTimer::timeout, this, &THint::ClearMark);
}

THint::~THint() {
    cancel_ = true;
    if (worker_.joinable()) worker_.join();
}

THint::TState THint::CurrentState() const {
    return TState{game_.Position(), game_.MoveIndex(), game_.ActionCount()};
}

bool THint::StateChanged() const {
    const TState now = CurrentState();
    return std::memcmp(&now.Position, &asked_.Position, sizeof(TPosition)) != 0 ||
           now.MoveIndex != asked_.MoveIndex || now.ActionCount != asked_.ActionCount;
}

void THint::Ask() {
    if (searching_) return;
    ClearMark();
    // A finished game has no next move.
    if (game_.PassesLeft() == -1) {
        Message("No hint found.");
        return;
    }
    asked_ = CurrentState();
    const uint64_t generation = ++generation_;
    cancel_ = false;
    searching_ = true;
    table_.setCursor(Qt::BusyCursor);
    worker_ = std::thread([this, position = asked_.Position, generation] {
        LowerThisThreadsPriority();
        TSolverLimits limits;
        limits.TimeLimit = kSearchTime;
        limits.MaxMemoryBytes = kSearchMemory;
        const TSolveResult result = Solve(position, limits, &cancel_);
        // Back to the window's thread; dropped unread if the hint is gone by then.
        QMetaObject::invokeMethod(
            this, [this, generation, result] { Finished(generation, result); },
            Qt::QueuedConnection);
    });
}

void THint::GameChanged() {
    if ((!searching_ && !Mark()) || showing_ || !StateChanged()) return;
    Cancel();
}

void THint::Cancel() {
    ++generation_;
    cancel_ = true;
    ClearMark();
}

void THint::Finished(uint64_t generation, const TSolveResult& result) {
    worker_.join();
    searching_ = false;
    table_.setCursor(Qt::ArrowCursor);
    if (generation != generation_) return;
    switch (result.Verdict) {
        case TVerdict::Winnable:
            if (result.Line.empty()) {
                Message("No hint found.");
            } else {
                Show(result.Line.front());
            }
            break;
        case TVerdict::NotWinnable:
            Message("No winning line from this position.");
            break;
        case TVerdict::Undetermined:
            Message("No hint found.");
            break;
    }
}

void THint::Show(const TAction& action) {
    if (action.IsStock) {
        SetMark({-1, -1});
        return;
    }
    const TPileSpot* from =
        SpotOfPile(game_.GameKind(), action.Move.From.Group, action.Move.From.Pile);
    if (!from) return;
    // The card is picked up as a click on its pile picks it up, after any other
    // card picked up has gone back.
    showing_ = true;
    if (game_.SelGroup() != -1) game_.CancelPickUp();
    game_.PickUp(from->Group, from->Pile, from->X, from->Y);
    showing_ = false;
    SetMark(action.Move.To, action.Move.From);
}

void THint::Message(const char* text) {
    dialogs_.ShowMessage(text, TMessageKind::Plain);
}

std::optional<TPileRef> THint::Mark() const {
    return table_.HintMark();
}

void THint::SetMark(TPileRef pile, std::optional<TPileRef> from) {
    table_.SetHintMark(pile, from);
    // In keyboard play the focus goes to the marked pile, so that Space
    // completes the step.
    if (table_.FocusPile()) table_.SetFocusPile(pile);
    markTimer_.start();
}

void THint::ClearMark() {
    markTimer_.stop();
    table_.SetHintMark(std::nullopt);
}

}  // namespace trisk
