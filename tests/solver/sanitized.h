// Whether the tests run under AddressSanitizer. There the search and the
// exhaustive checks run some twenty times slower than in a plain build, so
// the heaviest checks look at fewer positions: the paths through the code
// are the same, which is what the sanitizers watch.
#pragma once

namespace trisk {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

}  // namespace trisk
