// Saving the game to a ".kxr" file and loading one in its place.
#include "history/game.h"
#include "history/savefile.h"

namespace trisk {

bool TGame::WriteGameFile(const std::string& path, uint32_t elapsed) {
    // Written as it is made: a long game's file is never built whole in memory.
    const auto write = [&](TByteSink& sink) {
        return WriteGame(sink, GameKind(), MoveIndex(), ActionCount(), elapsed, history_.Entries());
    };
    if (files_.WriteFileAtomically(path, write)) return true;
    dialogs_.ShowMessage("Unable to save file " + path + "!", TMessageKind::Plain);
    return false;
}

bool TGame::SaveGameToFile(const std::string& path) {
    if (files_.Exists(path)) {
        const size_t slash = path.find_last_of('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (!dialogs_.AskQuestion("Overwrite the existing file " + name + "?")) return false;
    }
    return WriteGameFile(path, clock_.ElapsedTicks());
}

bool TGame::LoadGameFromFile(const std::string& path) {
    // The mark counts for the load it was set for, the one at start-up.
    const bool startUpLoad = commandLineMark_;
    commandLineMark_ = false;

    TSavedGame saved;
    std::string failure;
    const std::unique_ptr<TByteSource> source = files_.OpenForReading(path);
    const TLoadStatus status = source ? ReadSavedGame(*source, saved) : TLoadStatus::WrongFormat;
    if (!source || source->Failed()) {
        failure = "Unable to open file " + path + "!";
    } else {
        switch (status) {
            case TLoadStatus::Ok:
                break;
            case TLoadStatus::WrongFormat:
                failure = "Wrong file format.";
                break;
            case TLoadStatus::TooNew:
                failure = "This file was created in the version " +
                          std::to_string(saved.MajorVersion) + "." +
                          std::to_string(saved.MinorVersion) + " and can not be loaded.";
                break;
        }
    }
    if (!failure.empty()) {
        dialogs_.ShowMessage(failure, TMessageKind::Plain);
        // A refused file never costs the player the game on the table; only
        // the file given at start-up, with no game on the table yet, is
        // followed by a new deal.
        if (startUpLoad) {
            StartGame();
            selGroup_ = -1;
        }
        return false;
    }

    position_.Kind = saved.Kind;
    history_.Load(std::move(saved.History), saved.MoveIndex, saved.ActionCount);
    RestoreHistoryEntry(MoveIndex());
    SyncActions();
    selGroup_ = -1;
    highlighted_ = false;
    host_.ShowGameKind(GameKind());
    host_.ShowTitle(GameKind());
    host_.ShowGameNumber(Board().Deck.GameNumber);
    clock_.RestoreClock(saved.Elapsed);
    host_.InvalidateTable();
    Repaint();
    return true;
}

}  // namespace trisk
