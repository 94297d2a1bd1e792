// The in-memory copy of the preferences that the game reads. The window loads
// and stores them; every field starts at its default.
#pragma once

#include <cstdint>

namespace trisk {

struct TSettings {
    bool EnableSound = true;
    bool ConfirmNewGame = true;
    bool ConfirmReplayGame = true;
    bool ConfirmExit = true;
    bool MinimizeToTray = false;
    bool MinimizeToEscape = false;
    int32_t UndoOption = 2;      // 0 none, 1 one step, 2 unlimited
    int32_t GameNumberType = 0;  // 0 random, otherwise counting from IncrementFrom
    uint32_t IncrementFrom = 0;
    bool SetFileAssociation = true;
    int32_t GameId = 1;
    int32_t CardSet = 2;
};

}  // namespace trisk
