#include "sources/style/CssSelectorParts.h"

#include "sources/style/CssText.h"

#include <algorithm>
#include <string>

namespace vt::css {

namespace {

bool isOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool parseNumber(std::string_view digits, int& value) {
    if (digits.empty() || digits.size() > 9) {
        return false;
    }
    value = 0;
    for (const char d : digits) {
        if (d < '0' || d > '9') {
            return false;
        }
        value = value * 10 + (d - '0');
    }
    return true;
}

struct Counts {
    std::uint32_t ids = 0;
    std::uint32_t classes = 0;
    std::uint32_t types = 0;

    std::uint32_t packed() const {
        return std::min(ids, 1023u) << 20 | std::min(classes, 1023u) << 10 | std::min(types, 1023u);
    }
};

void count(const Compound& c, Counts& counts) {
    counts.ids += c.id.empty() ? 0 : 1;
    counts.classes += static_cast<std::uint32_t>(c.classes.size() + c.attributes.size());
    counts.types += c.tag.empty() ? 0 : 1;
    for (const PseudoClass& p : c.pseudoClasses) {
        if (p.kind != PseudoClass::Kind::Not && p.kind != PseudoClass::Kind::Is) {
            counts.classes += p.counted ? 1 : 0;
            continue;
        }
        if (p.b == -1) {
            continue; // :where() counts nothing
        }
        // :is() and :not() count as their most specific argument.
        Counts best;
        for (const Compound& argument : p.arguments) {
            Counts own;
            count(argument, own);
            if (own.packed() >= best.packed()) {
                best = own;
            }
        }
        counts.ids += best.ids;
        counts.classes += best.classes;
        counts.types += best.types;
    }
}

} // namespace

bool isUnsupportedPseudoClass(std::string_view name) {
    return isOneOf(name, {"hover",
                          "focus",
                          "active",
                          "visited",
                          "link",
                          "any-link",
                          "focus-within",
                          "focus-visible",
                          "checked",
                          "target",
                          "target-within",
                          "enabled",
                          "disabled",
                          "indeterminate",
                          "default",
                          "valid",
                          "invalid",
                          "required",
                          "optional",
                          "in-range",
                          "out-of-range",
                          "placeholder-shown",
                          "read-only",
                          "read-write",
                          "autofill",
                          "-webkit-autofill",
                          "fullscreen",
                          "-webkit-full-screen",
                          "modal",
                          "popover-open",
                          "open",
                          "closed",
                          "playing",
                          "paused",
                          "defined",
                          "scope",
                          "first-of-type",
                          "last-of-type",
                          "only-of-type",
                          "host",
                          "user-invalid",
                          "user-valid",
                          "blank",
                          "local-link",
                          "current",
                          "past",
                          "future",
                          "picture-in-picture",
                          "-moz-focusring",
                          "-moz-ui-invalid",
                          "-moz-placeholder",
                          "-ms-input-placeholder",
                          "-webkit-any-link",
                          "muted",
                          "seeking",
                          "stalled",
                          "buffering",
                          "volume-locked"});
}

bool isUnsupportedFunction(std::string_view name) {
    return isOneOf(name, {"lang", "dir", "has", "host", "host-context", "state", "-moz-any",
                          "current", "nth-col", "nth-last-col"});
}

bool isLegacyPseudoElement(std::string_view name) {
    return isOneOf(name, {"before", "after", "first-line", "first-letter"});
}

bool parseNth(std::string_view argument, int& a, int& b) {
    std::string text;
    for (const char ch : argument) {
        if (!ascii::isSpace(ch)) {
            text.push_back(ascii::lower(ch));
        }
    }
    if (text == "odd" || text == "even") {
        a = 2;
        b = text == "odd" ? 1 : 0;
        return true;
    }
    const std::size_t n = text.find('n');
    std::string_view rest(text);
    a = 0;
    b = 0;
    if (n != std::string::npos) {
        std::string_view coefficient = rest.substr(0, n);
        int sign = 1;
        if (!coefficient.empty() && (coefficient[0] == '+' || coefficient[0] == '-')) {
            sign = coefficient[0] == '-' ? -1 : 1;
            coefficient.remove_prefix(1);
        }
        if (coefficient.empty()) {
            a = sign;
        } else if (parseNumber(coefficient, a)) {
            a *= sign;
        } else {
            return false;
        }
        rest = rest.substr(n + 1);
        if (rest.empty()) {
            return true;
        }
    }
    if (rest.empty()) {
        return false;
    }
    int sign = 1;
    if (rest[0] == '+' || rest[0] == '-') {
        sign = rest[0] == '-' ? -1 : 1;
        rest.remove_prefix(1);
    } else if (n != std::string::npos) {
        return false; // "2n3"
    }
    if (!parseNumber(rest, b)) {
        return false;
    }
    b *= sign;
    return true;
}

std::uint32_t specificityOf(const std::vector<Compound>& compounds) {
    Counts counts;
    for (const Compound& c : compounds) {
        count(c, counts);
    }
    return counts.packed();
}

} // namespace vt::css
