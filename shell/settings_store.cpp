#include "shell/settings_store.h"

#include <QSettings>
#include <QVariant>

namespace trisk {

namespace {

// A boolean is stored as 1 for true and 0 for false.
int32_t Flag(bool value) {
    return value ? 1 : 0;
}

}  // namespace

std::optional<uint32_t> DecodeStoredValue(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    const uint64_t limit = negative ? 2147483648ull : 4294967295ull;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > limit) return std::nullopt;
    }
    const auto bits = static_cast<uint32_t>(value);
    return negative ? 0u - bits : bits;
}

TQSettingsStore::TQSettingsStore() = default;
TQSettingsStore::~TQSettingsStore() = default;

QSettings& TQSettingsStore::Store() {
    if (!store_) {
        store_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             "Vemodo", "Solitaire Trisk");
        store_->setFallbacksEnabled(false);
    }
    return *store_;
}

void TQSettingsStore::Close() {
    store_.reset();
}

// QSettings hands back text for everything it read from the file and the
// value itself for what this run wrote; either way only the decimal text of
// a 32-bit integer is taken. QVariant::toInt is not used: it wraps
// out-of-range numbers and still reports success.
std::optional<uint32_t> TQSettingsStore::Value(const char* key) {
    const QVariant value = Store().value(key);
    switch (value.typeId()) {
        case QMetaType::QString:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            return DecodeStoredValue(value.toString().toStdString());
        default:
            return std::nullopt;
    }
}

TStoredSettings TQSettingsStore::Read() {
    TStoredSettings stored;
    TSettings& s = stored.Settings;
    auto flag = [this](const char* key, bool& target) {
        if (const auto bits = Value(key)) target = *bits != 0;
    };
    auto number = [this](const char* key, int32_t& target) {
        if (const auto bits = Value(key)) target = static_cast<int32_t>(*bits);
    };
    flag("EnableSound", s.EnableSound);
    flag("ConfirmNewGame", s.ConfirmNewGame);
    flag("ConfirmReplayGame", s.ConfirmReplayGame);
    flag("ConfirmExit", s.ConfirmExit);
    flag("MinimizeToTray", s.MinimizeToTray);
    flag("MinimizeToEscape", s.MinimizeToEscape);
    flag("ShowToolBar", stored.ShowToolBar);
    flag("ShowStatusBar", stored.ShowStatusBar);
    number("UndoOption", s.UndoOption);
    number("GameNumberType", s.GameNumberType);
    if (const auto bits = Value("IncrementFrom")) s.IncrementFrom = *bits;
    flag("SetFileAssociation", s.SetFileAssociation);
    number("GameId", s.GameId);
    number("CardSet", s.CardSet);
    if (s.GameId < 0 || s.GameId > 3) s.GameId = 1;
    if (s.CardSet < 0 || s.CardSet > 3) s.CardSet = 2;
    return stored;
}

// Ints and uints: the registry keeps both as a DWORD, the Linux file as the
// decimal number.
void TQSettingsStore::Put(const char* key, int32_t value) {
    Store().setValue(key, static_cast<int>(value));
}

void TQSettingsStore::Put(const char* key, uint32_t value) {
    Store().setValue(key, static_cast<unsigned>(value));
}

// QSettings writes a new file beside the old one and renames it over, so a
// failed write leaves the previous file whole.
bool TQSettingsStore::Flush() {
    Store().sync();
    return Store().status() == QSettings::NoError;
}

bool TQSettingsStore::WriteOptions(const TSettings& s) {
    Put("EnableSound", Flag(s.EnableSound));
    Put("ConfirmNewGame", Flag(s.ConfirmNewGame));
    Put("ConfirmReplayGame", Flag(s.ConfirmReplayGame));
    Put("ConfirmExit", Flag(s.ConfirmExit));
    Put("MinimizeToTray", Flag(s.MinimizeToTray));
    Put("MinimizeToEscape", Flag(s.MinimizeToEscape));
    Put("SetFileAssociation", Flag(s.SetFileAssociation));
    Put("UndoOption", s.UndoOption);
    Put("GameNumberType", s.GameNumberType);
    return Flush();
}

bool TQSettingsStore::WriteOnClose(const TCloseSettings& values) {
    Put("IncrementFrom", values.IncrementFrom);
    Put("GameId", values.GameId);
    Put("ShowToolBar", Flag(values.ShowToolBar));
    Put("ShowStatusBar", Flag(values.ShowStatusBar));
    Put("CardSet", values.CardSet);
    return Flush();
}

}  // namespace trisk
