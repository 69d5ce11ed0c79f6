#include "sources/style/ElementNames.h"

#include "core/AsciiText.h"
#include "sources/style/CssSelector.h"
#include "sources/style/ElementStyle.h"

#include <array>
#include <gumbo.h>

namespace vt::css {

std::uint64_t tagHash(const GumboNode* element) {
    // The tags gumbo knows are hashed once.
    static const auto known = [] {
        std::array<std::uint64_t, GUMBO_TAG_UNKNOWN> hashes{};
        for (std::size_t tag = 0; tag < hashes.size(); ++tag) {
            hashes[tag] =
                nameHash(NameKind::Tag, gumbo_normalized_tagname(static_cast<GumboTag>(tag)));
        }
        return hashes;
    }();
    const GumboTag tag = element->v.element.tag;
    return tag < GUMBO_TAG_UNKNOWN ? known[tag] : nameHash(NameKind::Tag, elementName(element));
}

NameBits requiredNameBits(const Compound& compound) {
    NameBits bits;
    if (!compound.tag.empty()) {
        bits |= NameBits::of(nameHash(NameKind::Tag, compound.tag));
    }
    if (!compound.id.empty()) {
        bits |= NameBits::of(nameHash(NameKind::Id, compound.id));
    }
    for (const std::string& name : compound.classes) {
        bits |= NameBits::of(nameHash(NameKind::Class, name));
    }
    for (const AttributeTest& test : compound.attributes) {
        // Looked up as a C string, so only up to a NUL an escape may have made.
        bits |= NameBits::of(nameHash(NameKind::Attribute, test.name.c_str(), true));
    }
    return bits;
}

ElementNames namesOf(const GumboNode* element) {
    ElementNames names;
    names.bits = NameBits::of(tagHash(element));
    // The first attribute of a name counts, as gumbo_get_attribute finds it.
    bool haveId = false;
    bool haveClass = false;
    const GumboVector& attributes = element->v.element.attributes;
    for (unsigned i = 0; i < attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[i]);
        const std::string_view name = attribute->name;
        names.bits |= NameBits::of(nameHash(NameKind::Attribute, name, true));
        if (!haveId && ascii::equalsNoCase(name, "id")) {
            haveId = true;
            names.id = attribute->value;
        } else if (!haveClass && ascii::equalsNoCase(name, "class")) {
            haveClass = true;
            names.classes = attribute->value;
        }
    }
    if (!names.id.empty()) {
        names.bits |= NameBits::of(nameHash(NameKind::Id, names.id));
    }
    ascii::forEachToken(names.classes, [&names](std::string_view name) {
        names.bits |= NameBits::of(nameHash(NameKind::Class, name));
    });
    return names;
}

} // namespace vt::css
