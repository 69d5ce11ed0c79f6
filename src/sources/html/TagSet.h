#pragma once

#include <array>
#include <cstdint>
#include <gumbo.h>
#include <initializer_list>

namespace vt {

// A set of HTML tags, for the questions "is this element one of these". A
// lookup is one bit test.
class TagSet {
  public:
    constexpr TagSet(std::initializer_list<GumboTag> tags) {
        for (const GumboTag tag : tags) {
            m_words[tag / 64] |= std::uint64_t(1) << (tag % 64);
        }
    }

    constexpr bool contains(GumboTag tag) const {
        return tag <= GUMBO_TAG_LAST && ((m_words[tag / 64] >> (tag % 64)) & 1) != 0;
    }

  private:
    std::array<std::uint64_t, GUMBO_TAG_LAST / 64 + 1> m_words{};
};

} // namespace vt
