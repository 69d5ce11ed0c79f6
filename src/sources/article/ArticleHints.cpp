#include "sources/article/ArticleHints.h"

#include "core/AsciiText.h"
#include "sources/html/TagSet.h"
#include "sources/style/ElementStyle.h"

#include <gumbo.h>
#include <string_view>

namespace vt {

namespace {

// Words of class names and ids. A word matches a token of the name that starts
// or ends with it ("navbar", "mainnav", "comments"); short words only match
// whole tokens.
constexpr std::string_view NoiseWords[] = {
    "nav",      "menu",       "footer",   "sidebar",    "comment",   "share",      "sharing",
    "social",   "related",    "promo",    "cookie",     "subscribe", "newsletter", "advert",
    "sponsor",  "breadcrumb", "masthead", "pagination", "pager",     "popup",      "signup",
    "outbrain", "taboola",    "reflist",  "references", "widget",    "recommend",  "toolbar"};
constexpr std::string_view NoiseTokens[] = {"ad",     "ads",         "toc",   "tags",
                                            "banner", "modal",       "login", "reference",
                                            "disqus", "editsection", "skip",  "jump"};
constexpr std::string_view ContentWords[] = {"article", "content", "entry", "post", "story",
                                             "body",    "main",    "text",  "prose"};
// Tokens the matching above would misread.
constexpr std::string_view NotNoise[] = {"commentary", "navigable"};
constexpr std::string_view NotContent[] = {"textwidget", "postmeta", "posted"};
constexpr std::string_view BylineWords[] = {"byline", "author", "meta",   "dateline",
                                            "tags",   "info",   "profile"};

constexpr std::string_view NoiseRoles[] = {"navigation",  "banner", "complementary", "contentinfo",
                                           "search",      "menu",   "menubar",       "dialog",
                                           "alertdialog", "form",   "toolbar"};

bool isWordCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool contains(const auto& list, std::string_view token) {
    for (const std::string_view entry : list) {
        if (entry == token) {
            return true;
        }
    }
    return false;
}

bool startsOrEndsWithOneOf(const auto& words, std::string_view token) {
    for (const std::string_view word : words) {
        if (token.starts_with(word) || token.ends_with(word)) {
            return true;
        }
    }
    return false;
}

enum Verdict : unsigned char { Noise = 1, Content = 2, Byline = 4 };

unsigned char judgeToken(std::string_view token) {
    unsigned char verdict = 0;
    if (contains(NoiseTokens, token) ||
        (startsOrEndsWithOneOf(NoiseWords, token) && !contains(NotNoise, token))) {
        verdict |= Noise;
    }
    if (startsOrEndsWithOneOf(ContentWords, token) && !contains(NotContent, token)) {
        verdict |= Content;
    }
    if (startsOrEndsWithOneOf(BylineWords, token)) {
        verdict |= Byline;
    }
    return verdict;
}

// Splits a class list or id into lower-case tokens ("entry-content" gives
// "entry" and "content"; "articleBody" gives "articlebody") and judges them.
unsigned char judgeTokens(std::string_view value) {
    constexpr std::size_t Longest = 48; // longer tokens are judged by their start
    char token[Longest];
    std::size_t length = 0;
    unsigned char verdict = 0;
    auto judge = [&] {
        if (length > 0) {
            verdict |= judgeToken(std::string_view(token, length));
        }
        length = 0;
    };
    for (const char c : value) {
        const char l = ascii::lower(c);
        if (!isWordCharacter(l)) {
            judge();
        } else if (length < Longest) {
            token[length++] = l;
        }
    }
    judge();
    return verdict;
}

std::string_view attributeOf(const GumboNode* element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element->v.element.attributes, name);
    return attribute ? std::string_view(attribute->value) : std::string_view();
}

bool isNoiseTag(const GumboNode* element) {
    switch (element->v.element.tag) {
    case GUMBO_TAG_NAV:
    case GUMBO_TAG_ASIDE:
    case GUMBO_TAG_FOOTER:
    case GUMBO_TAG_FORM:
    case GUMBO_TAG_MENU:
        return true;
    case GUMBO_TAG_UNKNOWN: {
        const std::string_view name = elementName(element);
        return name == "dialog" || name == "search";
    }
    default:
        return false;
    }
}

// Phrase elements: their class names say nothing about the page's parts.
constexpr TagSet PhraseTags{GUMBO_TAG_EM,   GUMBO_TAG_STRONG, GUMBO_TAG_B,    GUMBO_TAG_I,
                            GUMBO_TAG_U,    GUMBO_TAG_SMALL,  GUMBO_TAG_CODE, GUMBO_TAG_TIME,
                            GUMBO_TAG_ABBR, GUMBO_TAG_BR,     GUMBO_TAG_IMG,  GUMBO_TAG_WBR};

} // namespace

unsigned char ArticleHinter::verdictOf(std::string_view classOrId) {
    if (classOrId.empty()) {
        return 0;
    }
    const auto [it, added] = m_verdicts.try_emplace(classOrId, 0);
    if (added) {
        it->second = judgeTokens(classOrId);
    }
    return it->second;
}

ArticleHint ArticleHinter::hintOf(const GumboNode* element) {
    const GumboTag tag = element->v.element.tag;
    if (tag == GUMBO_TAG_HTML || tag == GUMBO_TAG_BODY || PhraseTags.contains(tag)) {
        return ArticleHint::None;
    }
    bool noise = isNoiseTag(element);
    bool structural = tag == GUMBO_TAG_ARTICLE || tag == GUMBO_TAG_MAIN;
    unsigned char verdict = 0;
    const GumboVector& attributes = element->v.element.attributes;
    for (unsigned i = 0; i < attributes.length; ++i) {
        const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[i]);
        const std::string_view name(attribute->name);
        const std::string_view value(attribute->value);
        if (name == "class" || name == "id") {
            verdict |= verdictOf(value);
        } else if (name == "role") {
            for (const std::string_view noiseRole : NoiseRoles) {
                noise = noise || ascii::equalsNoCase(value, noiseRole);
            }
            structural = structural || ascii::equalsNoCase(value, "main") ||
                         ascii::equalsNoCase(value, "article");
        } else if (name == "itemprop") {
            structural = structural || ascii::equalsNoCase(value, "articlebody");
        }
    }
    if (noise || (verdict & Noise)) {
        return ArticleHint::Negative;
    }
    if (structural) {
        return ArticleHint::Structural;
    }
    return (verdict & Content) ? ArticleHint::Positive : ArticleHint::None;
}

bool isBylineList(const GumboNode* element) {
    const GumboTag tag = element->v.element.tag;
    if (tag != GUMBO_TAG_UL && tag != GUMBO_TAG_OL && tag != GUMBO_TAG_DL) {
        return false;
    }
    return ((judgeTokens(attributeOf(element, "class")) | judgeTokens(attributeOf(element, "id"))) &
            Byline) != 0;
}

} // namespace vt
