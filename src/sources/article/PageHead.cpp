#include "sources/article/PageHead.h"

#include "core/AsciiText.h"

#include <gumbo.h>
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

struct Found {
    bool title = false;
    QString openGraphDescription;
    QString description;
    std::string canonical, openGraphUrl, base;
    bool haveOpenGraphTitle = false, haveOpenGraphDescription = false, haveDescription = false;
    bool haveCanonical = false, haveOpenGraphUrl = false, haveBase = false;

    bool all() const {
        return title && haveOpenGraphTitle && haveOpenGraphDescription && haveDescription &&
               haveCanonical;
    }
};

void take(const GumboNode* element, PageHead& head, Found& found) {
    switch (element->v.element.tag) {
    case GUMBO_TAG_TITLE:
        if (!found.title) {
            found.title = true;
            head.title = textChildrenOf(element);
        }
        return;
    case GUMBO_TAG_LINK:
        if (!found.haveCanonical && isCanonicalLink(element) && attributeValue(element, "href")) {
            found.haveCanonical = true;
            found.canonical = ascii::trimmed(attributeValue(element, "href"));
        }
        return;
    case GUMBO_TAG_BASE:
        if (!found.haveBase && attributeValue(element, "href")) {
            found.haveBase = true;
            found.base = ascii::trimmed(attributeValue(element, "href"));
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
    switch (metaNameOf(element)) {
    case MetaName::OpenGraphTitle:
        if (!found.haveOpenGraphTitle) {
            found.haveOpenGraphTitle = true;
            head.openGraphTitle = QString::fromUtf8(content).simplified();
        }
        break;
    case MetaName::OpenGraphDescription:
        if (!found.haveOpenGraphDescription) {
            found.haveOpenGraphDescription = true;
            found.openGraphDescription = QString::fromUtf8(content).simplified();
        }
        break;
    case MetaName::Description:
        if (!found.haveDescription) {
            found.haveDescription = true;
            found.description = QString::fromUtf8(content).simplified();
        }
        break;
    case MetaName::OpenGraphUrl:
        if (!found.haveOpenGraphUrl) {
            found.haveOpenGraphUrl = true;
            found.openGraphUrl = ascii::trimmed(content);
        }
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
        take(child, head, found);
        open.emplace_back(child, 0);
    }
    head.description =
        found.openGraphDescription.isEmpty() ? found.description : found.openGraphDescription;
    head.address = !found.canonical.empty()      ? found.canonical
                   : !found.openGraphUrl.empty() ? found.openGraphUrl
                                                 : found.base;
    return head;
}

} // namespace vt
