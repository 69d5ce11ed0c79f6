#include "sources/html/nesting/NestingTags.h"

#include "core/AsciiText.h"

#include <array>
#include <gumbo.h>

namespace vt::nesting {

namespace {

using TagFlags = std::array<unsigned, GUMBO_TAG_LAST + 1>;

TagFlags makeTagFlags() {
    TagFlags f{};
    auto set = [&f](std::initializer_list<GumboTag> tags, unsigned flags) {
        for (const GumboTag tag : tags) {
            f[tag] |= flags;
        }
    };
    set({GUMBO_TAG_ARTICLE,    GUMBO_TAG_SECTION,    GUMBO_TAG_NAV,    GUMBO_TAG_ASIDE,
         GUMBO_TAG_HGROUP,     GUMBO_TAG_HEADER,     GUMBO_TAG_FOOTER, GUMBO_TAG_ADDRESS,
         GUMBO_TAG_BLOCKQUOTE, GUMBO_TAG_OL,         GUMBO_TAG_UL,     GUMBO_TAG_DL,
         GUMBO_TAG_FIGURE,     GUMBO_TAG_FIGCAPTION, GUMBO_TAG_DIV,    GUMBO_TAG_FIELDSET,
         GUMBO_TAG_DETAILS,    GUMBO_TAG_SUMMARY,    GUMBO_TAG_MENU,   GUMBO_TAG_DIR,
         GUMBO_TAG_CENTER,     GUMBO_TAG_PRE,        GUMBO_TAG_LISTING},
        Special | ClosesP | ClosedInScope);
    set({GUMBO_TAG_MAIN}, ClosesP | ClosedInScope);
    set({GUMBO_TAG_BUTTON}, Special | ClosedInScope);
    set({GUMBO_TAG_H1, GUMBO_TAG_H2, GUMBO_TAG_H3, GUMBO_TAG_H4, GUMBO_TAG_H5, GUMBO_TAG_H6},
        Special | ClosesP | Heading);
    set({GUMBO_TAG_P, GUMBO_TAG_FORM, GUMBO_TAG_PLAINTEXT}, Special | ClosesP);
    set({GUMBO_TAG_LI, GUMBO_TAG_DD, GUMBO_TAG_DT}, Special | ClosesP);
    set({GUMBO_TAG_HR}, Special | ClosesP | Void);
    set({GUMBO_TAG_NOSCRIPT}, Special);
    set({GUMBO_TAG_APPLET, GUMBO_TAG_MARQUEE, GUMBO_TAG_OBJECT}, Special | Marker);
    set({GUMBO_TAG_A, GUMBO_TAG_B, GUMBO_TAG_BIG, GUMBO_TAG_CODE, GUMBO_TAG_EM, GUMBO_TAG_FONT,
         GUMBO_TAG_I, GUMBO_TAG_NOBR, GUMBO_TAG_S, GUMBO_TAG_SMALL, GUMBO_TAG_STRIKE,
         GUMBO_TAG_STRONG, GUMBO_TAG_TT, GUMBO_TAG_U},
        FormattingTag);
    set({GUMBO_TAG_AREA, GUMBO_TAG_BR, GUMBO_TAG_EMBED, GUMBO_TAG_IMG, GUMBO_TAG_KEYGEN,
         GUMBO_TAG_WBR, GUMBO_TAG_INPUT, GUMBO_TAG_IMAGE},
        Special | Void | Reconstructs);
    set({GUMBO_TAG_PARAM, GUMBO_TAG_SOURCE, GUMBO_TAG_TRACK}, Special | Void);
    set({GUMBO_TAG_BASE, GUMBO_TAG_BASEFONT, GUMBO_TAG_BGSOUND, GUMBO_TAG_LINK, GUMBO_TAG_META},
        Special | HeadOnly | Void);
    set({GUMBO_TAG_TITLE, GUMBO_TAG_STYLE, GUMBO_TAG_NOFRAMES, GUMBO_TAG_SCRIPT},
        Special | HeadOnly | RawText);
    set({GUMBO_TAG_TEXTAREA, GUMBO_TAG_XMP, GUMBO_TAG_IFRAME, GUMBO_TAG_NOEMBED},
        Special | RawText);
    set({GUMBO_TAG_HTML, GUMBO_TAG_BODY, GUMBO_TAG_HEAD}, Special | Merged);
    set({GUMBO_TAG_TEMPLATE, GUMBO_TAG_FRAMESET, GUMBO_TAG_FRAME,    GUMBO_TAG_TABLE,
         GUMBO_TAG_CAPTION,  GUMBO_TAG_COL,      GUMBO_TAG_COLGROUP, GUMBO_TAG_TBODY,
         GUMBO_TAG_TD,       GUMBO_TAG_TFOOT,    GUMBO_TAG_TH,       GUMBO_TAG_THEAD,
         GUMBO_TAG_TR,       GUMBO_TAG_SELECT,   GUMBO_TAG_SVG,      GUMBO_TAG_MATH,
         GUMBO_TAG_ISINDEX,  GUMBO_TAG_RB,       GUMBO_TAG_RP,       GUMBO_TAG_RT,
         GUMBO_TAG_RTC,      GUMBO_TAG_MENUITEM},
        Special | Lost);
    return f;
}

const TagFlags& tagFlags() {
    static const TagFlags flags = makeTagFlags();
    return flags;
}

} // namespace

unsigned flagsOf(int tag) {
    return tag < 0 ? 0 : tagFlags()[static_cast<std::size_t>(tag)];
}

int tagOf(std::string_view name) {
    return gumbo_tagn_enum(name.data(), static_cast<unsigned>(name.size()));
}

std::string_view nameOf(int tag) {
    return gumbo_normalized_tagname(static_cast<GumboTag>(tag));
}

bool impliesEndTag(int tag) {
    switch (tag) {
    case GUMBO_TAG_DD:
    case GUMBO_TAG_DT:
    case GUMBO_TAG_LI:
    case GUMBO_TAG_OPTION:
    case GUMBO_TAG_OPTGROUP:
    case GUMBO_TAG_P:
        return true;
    default:
        return false;
    }
}

std::string_view attributeKey(std::string_view attributes) {
    while (!attributes.empty() &&
           (ascii::isSpace(attributes.front()) || attributes.front() == '/')) {
        attributes.remove_prefix(1);
    }
    while (!attributes.empty() && (ascii::isSpace(attributes.back()) || attributes.back() == '/')) {
        attributes.remove_suffix(1);
    }
    return attributes;
}

} // namespace vt::nesting
