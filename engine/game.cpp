#include "engine/game.h"

#include <cstdio>

namespace trisk {

namespace {
constexpr const char* kAppTitle = "Solitaire Trisk";
}

TGame::TGame(TGameHost& host) : host_(host) {
    Board.Deck.Build();
    History.resize(1);
}

void TGame::ReportFault(TFault fault) {
    if (fault != TFault::None) host_.ShowMessage(FaultMessage(fault), TMessageKind::Information);
}

TCard TGame::TopCard(int group, int pile, bool take) {
    TFault fault = TFault::None;
    const TCard card = Board.TopCard(GameKind, group, pile, take, fault);
    ReportFault(fault);
    return card;
}

void TGame::PutCard(int group, int pile, bool fromDeck, const TCard& card) {
    TFault fault = TFault::None;
    Board.PutCard(GameKind, group, pile, fromDeck, card, fault);
    ReportFault(fault);
}

void TGame::MoveCard(int fromGroup, int fromPile, int toGroup, int toPile) {
    TFault fault = TFault::None;
    Board.MoveCard(GameKind, fromGroup, fromPile, toGroup, toPile, fault);
    ReportFault(fault);
}

void TGame::PlaySound(const char* name) {
    if (Settings.EnableSound) host_.PlaySound(name);
}

void TGame::SetActionEnabled(TGameAction action, bool enabled) {
    bool& flag = action == TGameAction::Undo   ? undoEnabled_
                 : action == TGameAction::Redo ? redoEnabled_
                                               : goToBookmarkEnabled_;
    if (flag == enabled) return;
    flag = enabled;
    host_.ActionEnabledChanged(action, enabled);
}

bool TGame::IsActionEnabled(TGameAction action) const {
    switch (action) {
        case TGameAction::Undo:
            return undoEnabled_;
        case TGameAction::Redo:
            return redoEnabled_;
        case TGameAction::GoToBookmark:
            return goToBookmarkEnabled_;
    }
    return false;
}

uint32_t TGame::ChooseGameNumber() {
    if (!NewNumberWanted) return RequestedNumber;
    if (Settings.GameNumberType == 0) {
        // NextLong never exceeds 2^31 - 1, so the modulo leaves it unchanged and
        // a random number lies in 1 .. 2^31.
        return ProgramRandom().NextLong() % 4294967295u + 1u;
    }
    return Settings.IncrementFrom++;
}

void TGame::ResetHistory() {
    SetActionEnabled(TGameAction::Undo, false);
    SetActionEnabled(TGameAction::Redo, false);
    SetActionEnabled(TGameAction::GoToBookmark, false);
    MoveIndex = 0;
    ActionCount = 0;
    BookmarkIndex = 0;
    BookmarkActionCount = 0;
    History.resize(1);
}

void TGame::DealNewGame() {
    Board.Deck.Shuffle(ChooseGameNumber());
    PassesLeft = 5;
    Board.ClearBlock(GameKind);
    if (IsTomb(GameKind)) {
        const int perPile = GameKind == gkTriskStrong ? 13 : 11;
        for (int p = 0; p < 4; ++p) {
            for (int i = 0; i < perPile; ++i)
                PutCard(GroupInner, p, true, TCard{});
        }
        for (int i = 0; i < 4; ++i)
            MoveCard(GroupInner, i, GroupOuter, i);
    } else {
        for (int g = GroupInner; g <= GroupOuter; ++g) {
            for (int p = 0; p < 4; ++p) {
                for (int i = 0; i < 7; ++i)
                    PutCard(g, p, true, TCard{});
            }
        }
    }
}

void TGame::StartGame() {
    SelGroup = -1;
    Highlighted = false;
    host_.InvalidateTable();
    ResetHistory();
    DealNewGame();
    FillEntry(History[0]);
    host_.SetTitle(TitleText());
    host_.PaintTable();
    host_.SetStatusText(0, GameNumberText());
    host_.SetStatusText(3, "");
    StartClock();
    gameOnTable_ = true;
}

std::string TGame::TitleText() const {
    return std::string(kAppTitle) + " - " + GameKindName(GameKind);
}

std::string TGame::GameNumberText() const {
    return "Game #" + std::to_string(Board.Deck.GameNumber);
}

std::string TGame::MovesText() const {
    return "Moves: " + std::to_string(MoveIndex) + "/" + std::to_string(ActionCount);
}

// ---- the clock: GameStartTicks holds the start tick while running and the
// elapsed time while paused; all arithmetic wraps modulo 2^32.

void TGame::StartClock() {
    GameStartTicks = host_.TickCount();
    host_.StartGameTimer();
}

void TGame::StopClock() {
    host_.StopGameTimer();
}

void TGame::PauseClock() {
    host_.StopGameTimer();
    GameStartTicks = host_.TickCount() - GameStartTicks;
}

void TGame::ResumeClock() {
    host_.StartGameTimer();
    GameStartTicks = host_.TickCount() - GameStartTicks;
}

uint32_t TGame::ElapsedTicks() {
    return host_.TickCount() - GameStartTicks;
}

void TGame::RestoreClock(uint32_t elapsed) {
    host_.SetStatusText(3, "");
    GameStartTicks = host_.TickCount() - elapsed;
    host_.StartGameTimer();
}

void TGame::GameTimerTimer() {
    host_.SetStatusText(3, FormatClock(ElapsedTicks()));
}

std::string TGame::FormatClock(uint32_t elapsed) {
    const uint32_t hours = elapsed / 3600000u;
    const uint32_t minutes = (elapsed - hours * 3600000u) / 60000u;
    const uint32_t seconds = (elapsed - hours * 3600000u - minutes * 60000u) / 1000u;
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", hours, minutes, seconds);
    return text;
}

}  // namespace trisk
