#pragma once

#include "sources/style/AncestorFilter.h"

#include <cstdint>
#include <string_view>

struct GumboInternalNode;

namespace vt::css {

struct Compound;

// A name's bit in each of two words (see nameHash). The bits of the names a
// compound requires of its element that are missing from the element's bits
// prove it cannot match, before any attribute is looked up.
struct NameBits {
    std::uint64_t first = 0;
    std::uint64_t second = 0;

    static NameBits of(std::uint64_t hash) {
        return {std::uint64_t(1) << (hash >> 52 & 63), std::uint64_t(1) << (hash >> 58)};
    }
    NameBits& operator|=(NameBits other) {
        first |= other.first;
        second |= other.second;
        return *this;
    }
    bool covers(NameBits required) const {
        return ((required.first & ~first) | (required.second & ~second)) == 0;
    }
};

// The bits of the tag, id, classes and attribute names the compound requires.
NameBits requiredNameBits(const Compound& compound);

// nameHash(NameKind::Tag, elementName(element)).
std::uint64_t tagHash(const GumboInternalNode* element);

// The names an element is selected by, from one pass over its attributes.
struct ElementNames {
    std::string_view id;
    std::string_view classes; // the class attribute, blank-separated
    NameBits bits;            // of its tag, id, classes and attribute names
};
ElementNames namesOf(const GumboInternalNode* element);

} // namespace vt::css
