#include "sources/ArticleHints.h"

#include "sources/ElementStyle.h"

#include <gumbo.h>
#include <string>
#include <string_view>

namespace vt {

namespace {

// Words of class names and ids. A word matches a token of the name that starts
// or ends with it ("navbar", "mainnav", "comments"); short words only match
// whole tokens.
constexpr std::string_view NoiseWords[] = {
    "nav",        "menu",     "footer",    "sidebar",    "comment",  "share",    "sharing",
    "social",     "related",  "promo",     "cookie",     "subscribe", "newsletter", "advert",
    "sponsor",    "breadcrumb", "masthead", "pagination", "pager",   "popup",    "signup",
    "outbrain",   "taboola",  "reflist",   "references", "widget",   "recommend", "toolbar"};
constexpr std::string_view NoiseTokens[] = {"ad", "ads", "toc", "tags", "banner", "modal",
                                            "login", "reference", "disqus", "editsection",
                                            "skip", "jump"};
constexpr std::string_view ContentWords[] = {"article", "content", "entry", "post", "story",
                                             "body",    "main",    "text",  "prose"};
// Tokens the matching above would misread.
constexpr std::string_view NotNoise[] = {"commentary", "navigable"};
constexpr std::string_view NotContent[] = {"textwidget", "postmeta", "posted"};
constexpr std::string_view BylineWords[] = {"byline", "author", "meta",   "dateline",
                                            "tags",   "info",   "profile"};

constexpr std::string_view NoiseRoles[] = {"navigation", "banner",    "complementary",
                                           "contentinfo", "search",   "menu",
                                           "menubar",    "dialog",    "alertdialog",
                                           "form",       "toolbar"};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

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

struct TokenVerdict {
    bool noise = false;
    bool content = false;
    bool byline = false;
};

// Splits a class list or id into lower-case tokens ("entry-content" gives
// "entry" and "content"; "articleBody" gives "articlebody") and judges them.
void judgeTokens(std::string_view value, TokenVerdict& verdict) {
    std::string token;
    auto judge = [&] {
        if (token.empty()) {
            return;
        }
        if (contains(NoiseTokens, token) ||
            (startsOrEndsWithOneOf(NoiseWords, token) && !contains(NotNoise, token))) {
            verdict.noise = true;
        }
        if (startsOrEndsWithOneOf(ContentWords, token) && !contains(NotContent, token)) {
            verdict.content = true;
        }
        if (startsOrEndsWithOneOf(BylineWords, token)) {
            verdict.byline = true;
        }
        token.clear();
    };
    for (const char c : value) {
        const char l = lower(c);
        if (isWordCharacter(l)) {
            token += l;
        } else {
            judge();
        }
    }
    judge();
}

std::string_view attributeOf(const GumboNode* element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element->v.element.attributes, name);
    return attribute ? std::string_view(attribute->value) : std::string_view();
}

bool equalsNoCase(std::string_view value, std::string_view lowerWord) {
    if (value.size() != lowerWord.size()) {
        return false;
    }
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (lower(value[i]) != lowerWord[i]) {
            return false;
        }
    }
    return true;
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

TokenVerdict classAndIdVerdict(const GumboNode* element) {
    TokenVerdict verdict;
    judgeTokens(attributeOf(element, "class"), verdict);
    judgeTokens(attributeOf(element, "id"), verdict);
    return verdict;
}

} // namespace

ArticleHint articleHintOf(const GumboNode* element) {
    const GumboTag tag = element->v.element.tag;
    if (tag == GUMBO_TAG_HTML || tag == GUMBO_TAG_BODY) {
        return ArticleHint::None;
    }
    const std::string_view role = attributeOf(element, "role");
    bool noise = isNoiseTag(element);
    for (const std::string_view noiseRole : NoiseRoles) {
        noise = noise || equalsNoCase(role, noiseRole);
    }
    const TokenVerdict verdict = classAndIdVerdict(element);
    if (noise || verdict.noise) {
        return ArticleHint::Negative;
    }
    if (tag == GUMBO_TAG_ARTICLE || tag == GUMBO_TAG_MAIN || equalsNoCase(role, "main") ||
        equalsNoCase(role, "article") ||
        equalsNoCase(attributeOf(element, "itemprop"), "articlebody")) {
        return ArticleHint::Structural;
    }
    return verdict.content ? ArticleHint::Positive : ArticleHint::None;
}

bool isBylineList(const GumboNode* element) {
    const GumboTag tag = element->v.element.tag;
    if (tag != GUMBO_TAG_UL && tag != GUMBO_TAG_OL && tag != GUMBO_TAG_DL) {
        return false;
    }
    return classAndIdVerdict(element).byline;
}

} // namespace vt
