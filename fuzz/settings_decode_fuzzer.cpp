// libFuzzer target for the decoding of a stored settings value: any text is
// either no value or a 32-bit value whose decimal text, signed or unsigned,
// decodes to the same bits again.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shell/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<uint32_t> bits = trisk::DecodeStoredValue(text);
    if (!bits) return 0;
    // Only a sign and digits can make a value.
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] >= '0' && text[i] <= '9') && !(i == 0 && text[i] == '-')) __builtin_trap();
    }
    const std::string asUnsigned = std::to_string(*bits);
    const std::string asSigned = std::to_string(static_cast<int32_t>(*bits));
    if (trisk::DecodeStoredValue(asUnsigned) != bits || trisk::DecodeStoredValue(asSigned) != bits)
        __builtin_trap();
    return 0;
}
