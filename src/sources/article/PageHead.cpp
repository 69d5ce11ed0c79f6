#include "sources/article/PageHead.h"

#include "core/AsciiText.h"

#include <gumbo.h>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vt {

namespace {

const char* attributeValue(const GumboNode* element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element->v.element.attributes, name);
    return attribute ? attribute->value : nullptr;
}

// The meta's name or property, when it is one of those looked for.
enum class MetaName { Other, OpenGraphTitle, OpenGraphDescription, Description, OpenGraphUrl };

MetaName metaNameOf(const GumboNode* meta) {
    for (const char* attribute : {"property", "name"}) {
        const char* value = attributeValue(meta, attribute);
        if (!value) {
            continue;
        }
        const std::string_view name = ascii::trimmed(value);
        if (ascii::equalsNoCase(name, "og:title")) {
            return MetaName::OpenGraphTitle;
        }
        if (ascii::equalsNoCase(name, "og:description")) {
            return MetaName::OpenGraphDescription;
        }
        if (ascii::equalsNoCase(name, "description")) {
            return MetaName::Description;
        }
        if (ascii::equalsNoCase(name, "og:url")) {
            return MetaName::OpenGraphUrl;
        }
    }
    return MetaName::Other;
}

QString textChildrenOf(const GumboNode* element) {
    QString text;
    const GumboVector& children = element->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE) {
            text += QString::fromUtf8(child->v.text.text);
        }
    }
    return text.simplified();
}

bool isCanonicalLink(const GumboNode* link) {
    const char* rel = attributeValue(link, "rel");
    return rel && ascii::equalsNoCase(ascii::trimmed(rel), "canonical");
}

// The first of each in document order; an empty one counts as found.
struct Found {
    std::optional<QString> title, openGraphTitle, openGraphDescription, description;
    std::optional<std::string> canonical, openGraphUrl, base;

    bool all() const {
        return title && openGraphTitle && openGraphDescription && description && canonical;
    }
};

// Fills the slot with make()'s value unless an earlier element filled it.
template <typename T, typename Make> void keepFirst(std::optional<T>& slot, Make make) {
    if (!slot) {
        slot = make();
    }
}

// The element's href, trimmed, when it has one.
std::optional<std::string> hrefOf(const GumboNode* element) {
    const char* href = attributeValue(element, "href");
    return href ? std::optional<std::string>(ascii::trimmed(href)) : std::nullopt;
}

void take(const GumboNode* element, Found& found) {
    switch (element->v.element.tag) {
    case GUMBO_TAG_TITLE:
        keepFirst(found.title, [element] { return textChildrenOf(element); });
        return;
    case GUMBO_TAG_LINK:
        if (!found.canonical && isCanonicalLink(element)) {
            found.canonical = hrefOf(element);
        }
        return;
    case GUMBO_TAG_BASE:
        if (!found.base) {
            found.base = hrefOf(element);
        }
        return;
    case GUMBO_TAG_META:
        break;
    default:
        return;
    }
    const char* content = attributeValue(element, "content");
    if (!content) {
        return;
    }
    const auto text = [content] { return QString::fromUtf8(content).simplified(); };
    switch (metaNameOf(element)) {
    case MetaName::OpenGraphTitle:
        keepFirst(found.openGraphTitle, text);
        break;
    case MetaName::OpenGraphDescription:
        keepFirst(found.openGraphDescription, text);
        break;
    case MetaName::Description:
        keepFirst(found.description, text);
        break;
    case MetaName::OpenGraphUrl:
        keepFirst(found.openGraphUrl, [content] { return std::string(ascii::trimmed(content)); });
        break;
    case MetaName::Other:
        break;
    }
}

} // namespace

PageHead readPageHead(const GumboNode* documentElement) {
    PageHead head;
    if (!documentElement || documentElement->type != GUMBO_NODE_ELEMENT) {
        return head;
    }
    Found found;
    // Document order, with a stack of its own; svg and math have titles of
    // their own and are not entered.
    std::vector<std::pair<const GumboNode*, unsigned>> open{{documentElement, 0}};
    while (!open.empty() && !found.all()) {
        auto& [node, next] = open.back();
        const GumboVector& children = node->v.element.children;
        if (next >= children.length) {
            open.pop_back();
            continue;
        }
        const auto* child = static_cast<const GumboNode*>(children.data[next++]);
        if ((child->type != GUMBO_NODE_ELEMENT && child->type != GUMBO_NODE_TEMPLATE) ||
            child->v.element.tag_namespace != GUMBO_NAMESPACE_HTML) {
            continue;
        }
        take(child, found);
        open.emplace_back(child, 0);
    }
    head.title = found.title.value_or(QString());
    head.openGraphTitle = found.openGraphTitle.value_or(QString());
    const QString openGraphDescription = found.openGraphDescription.value_or(QString());
    head.description = openGraphDescription.isEmpty() ? found.description.value_or(QString())
                                                      : openGraphDescription;
    const std::string canonical = found.canonical.value_or(std::string());
    const std::string openGraphUrl = found.openGraphUrl.value_or(std::string());
    head.address = !canonical.empty()      ? canonical
                   : !openGraphUrl.empty() ? openGraphUrl
                                           : found.base.value_or(std::string());
    return head;
}

} // namespace vt
