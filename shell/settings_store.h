// The preferences on disk: QSettings in its native format under the
// organisation "Vemodo" and the application "Solitaire Trisk" (on Linux
// $XDG_CONFIG_HOME/Vemodo/Solitaire Trisk.conf), with no fallback to
// system-wide files. Every value is a 32-bit integer. The store is read once
// at start-up and written at two moments only: OK in Options (nine values)
// and the close of the window (five values).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "history/settings.h"

class QSettings;

namespace trisk {

// A stored value's text as the 32 bits of the value: a signed decimal from
// -2147483648 or an unsigned one up to 4294967295 (a negative number gives
// its two's complement). Anything else, the empty text included, is no value.
std::optional<uint32_t> DecodeStoredValue(std::string_view text);

// What start-up reads: the in-memory settings and the two bars, whose state
// lives in their menu check marks once read.
struct TStoredSettings {
    TSettings Settings;
    bool ShowToolBar = true;
    bool ShowStatusBar = true;
};

// What the close writes.
struct TCloseSettings {
    uint32_t IncrementFrom = 0;
    int32_t GameId = 1;
    bool ShowToolBar = true;
    bool ShowStatusBar = true;
    int32_t CardSet = 2;
};

class TSettingsStore {
  public:
    virtual ~TSettingsStore() = default;

    // The fourteen values in their fixed order; a value the store does not
    // hold, or holds as anything but a 32-bit integer, keeps its default.
    // A GameId outside 0 to 3 counts as 1, a CardSet outside 0 to 3 as 2.
    // Reading never writes.
    virtual TStoredSettings Read() = 0;
    // EnableSound, ConfirmNewGame, ConfirmReplayGame, ConfirmExit,
    // MinimizeToTray, MinimizeToEscape, SetFileAssociation, UndoOption and
    // GameNumberType, in this order. False when the store could not be
    // written; the caller goes on all the same.
    virtual bool WriteOptions(const TSettings& settings) = 0;
    // IncrementFrom, GameId, ShowToolBar, ShowStatusBar and CardSet, in this
    // order. False when the store could not be written.
    virtual bool WriteOnClose(const TCloseSettings& values) = 0;
    // The close of the window releases the store; a later use opens it anew.
    virtual void Close() = 0;
};

// The store of the machine: QSettings, opened at its first use.
class TQSettingsStore : public TSettingsStore {
  public:
    TQSettingsStore();
    ~TQSettingsStore() override;

    TStoredSettings Read() override;
    bool WriteOptions(const TSettings& settings) override;
    bool WriteOnClose(const TCloseSettings& values) override;
    void Close() override;

  private:
    QSettings& Store();
    std::optional<uint32_t> Value(const char* key);
    void Put(const char* key, int32_t value);
    void Put(const char* key, uint32_t value);
    bool Flush();

    std::unique_ptr<QSettings> store_;
};

}  // namespace trisk
