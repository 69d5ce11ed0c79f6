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
// whole tokens. The strong ones always mark noise; the lesser ones also turn up
// in the names of content ("gigya-share-btns" on an article's body, a manual's
// "sharing-with-others" section), so structure or prose outweighs them.
constexpr std::string_view StrongNoiseWords[] = {
    "nav",     "menu",    "footer",     "sidebar",    "comment",   "related",  "promo",
    "cookie",  "advert",  "sponsor",    "breadcrumb", "masthead",  "popup",    "outbrain",
    "taboola", "reflist", "references", "gallery",    "slideshow", "carousel", "lightbox"};
constexpr std::string_view StrongNoiseTokens[] = {"banner", "modal",  "reference",
                                                  "disqus", "slides", "slider"};
constexpr std::string_view NoiseWords[] = {"share",  "sharing",    "social",     "subscribe",
                                           "signup", "newsletter", "pagination", "pager",
                                           "widget", "recommend",  "toolbar"};
constexpr std::string_view NoiseTokens[] = {"ad", "ads", "toc", "tags", "login", "skip", "jump"};
// Tokens of marks that are not read.
constexpr std::string_view MarkerTokens[] = {"editsection", "headerlink", "noteref", "footnoteref"};
// Tokens that undo a lesser noise word beside them ("toc-backref" is a
// heading's own text, linking back to the contents).
constexpr std::string_view KeepTokens[] = {"backref"};
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

enum Verdict : unsigned char {
    Noise = 1,
    Content = 2,
    Byline = 4,
    StrongNoise = 8,
    Mark = 16,
    Keep = 32
};

unsigned char judgeToken(std::string_view token) {
    unsigned char verdict = 0;
    const bool notNoise = contains(NotNoise, token);
    if (contains(StrongNoiseTokens, token) ||
        (startsOrEndsWithOneOf(StrongNoiseWords, token) && !notNoise)) {
        verdict |= StrongNoise;
    } else if (contains(NoiseTokens, token) ||
               (startsOrEndsWithOneOf(NoiseWords, token) && !notNoise)) {
        verdict |= Noise;
    }
    if (contains(MarkerTokens, token)) {
        verdict |= Mark;
    }
    if (contains(KeepTokens, token)) {
        verdict |= Keep;
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

bool linksWithinPage(const GumboNode* element) {
    return element->type == GUMBO_NODE_ELEMENT && element->v.element.tag == GUMBO_TAG_A &&
           ascii::trimmed(attributeOf(element, "href")).starts_with('#');
}

// The element's only text, when it is one text node.
std::string_view onlyText(const GumboNode* element) {
    const GumboVector& children = element->v.element.children;
    if (children.length != 1) {
        return {};
    }
    const auto* child = static_cast<const GumboNode*>(children.data[0]);
    return child->type == GUMBO_NODE_TEXT ? ascii::trimmed(child->v.text.text) : std::string_view();
}

// The first child element.
const GumboNode* firstElementChild(const GumboNode* element) {
    const GumboVector& children = element->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT) {
            return child;
        }
    }
    return nullptr;
}

// Citation and footnote markers ("[12]"), a heading's anchor ("¶"), an edit link.
bool isMarker(const GumboNode* element, unsigned char verdict) {
    if (verdict & Mark) {
        return true;
    }
    switch (element->v.element.tag) {
    case GUMBO_TAG_SUP: {
        const GumboNode* first = firstElementChild(element);
        return (verdict & (Noise | StrongNoise)) || (first && linksWithinPage(first));
    }
    case GUMBO_TAG_A: {
        if (attributeOf(element, "href").find("action=edit") != std::string_view::npos) {
            return true;
        }
        const std::string_view text = onlyText(element);
        return linksWithinPage(element) &&
               (text == "\u00B6" || text == "\u00A7" || text == "#" || text == "\U0001F517");
    }
    default:
        return false;
    }
}

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
    if (isMarker(element, verdict)) {
        return ArticleHint::Marker;
    }
    if (noise || (verdict & StrongNoise)) {
        return ArticleHint::Negative;
    }
    if ((verdict & Noise) && !(verdict & Keep)) {
        return structural ? ArticleHint::Structural : ArticleHint::NamedNoise;
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
