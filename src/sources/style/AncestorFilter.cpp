#include "sources/style/AncestorFilter.h"

#include "core/AsciiText.h"

namespace vt::css {

std::uint64_t nameHash(NameKind kind, std::string_view name, bool foldCase) {
    // FNV-1a, seeded by the kind, mixed so both filter positions vary.
    std::uint64_t h = 1469598103934665603ull ^ (static_cast<std::uint64_t>(kind) + 1) * 0x9E37;
    for (const char c : name) {
        h = (h ^ static_cast<unsigned char>(foldCase ? ascii::lower(c) : c)) * 1099511628211ull;
    }
    h ^= h >> 29;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 32;
    return h;
}

} // namespace vt::css
