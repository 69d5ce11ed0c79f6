#include "sources/article/PageTitle.h"

#include "sources/text/RenderedText.h"

#include <gumbo.h>
#include <string_view>

namespace vt {

namespace {

// The first child element of element with the given tag that test accepts.
template <typename Test>
const GumboNode* childElement(const GumboNode* element, GumboTag tag, Test test) {
    const GumboVector& children = element->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == tag && test(child)) {
            return child;
        }
    }
    return nullptr;
}

constexpr auto anyElement = [](const GumboNode*) { return true; };

const GumboNode* headOf(const GumboNode* html) {
    return childElement(html, GUMBO_TAG_HEAD, anyElement);
}

const char* attributeValue(const GumboNode* element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element->v.element.attributes, name);
    return attribute ? attribute->value : nullptr;
}

bool isMetaNamed(const GumboNode* meta, QStringView wanted) {
    for (const char* name : {"property", "name"}) {
        const char* value = attributeValue(meta, name);
        if (value && QString::fromUtf8(value).trimmed().compare(wanted, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// The content of the head's first meta named wanted that has one, simplified.
QString metaContent(const GumboNode* documentElement, QStringView wanted) {
    const auto matches = [wanted](const GumboNode* meta) {
        return isMetaNamed(meta, wanted) && attributeValue(meta, "content");
    };
    const GumboNode* head = headOf(documentElement);
    const GumboNode* meta = head ? childElement(head, GUMBO_TAG_META, matches) : nullptr;
    return meta ? QString::fromUtf8(attributeValue(meta, "content")).simplified() : QString();
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

// A title without case, punctuation and spacing differences.
QString comparable(const QString& title) {
    QString plain;
    for (const QChar c : title) {
        if (c.isLetterOrNumber()) {
            plain += c.toCaseFolded();
        }
    }
    return plain;
}

} // namespace

QString openGraphTitleOf(const GumboNode* documentElement) {
    return metaContent(documentElement, u"og:title");
}

QString descriptionOf(const GumboNode* documentElement) {
    const QString openGraph = metaContent(documentElement, u"og:description");
    return openGraph.isEmpty() ? metaContent(documentElement, u"description") : openGraph;
}

QString titleElementOf(const GumboNode* documentElement) {
    const GumboNode* head = headOf(documentElement);
    const GumboNode* title = head ? childElement(head, GUMBO_TAG_TITLE, anyElement) : nullptr;
    return title ? textChildrenOf(title) : QString();
}

QString headingTextOf(const GumboNode* heading) {
    return renderedTextOf(heading).simplified();
}

bool titlesAgree(const QString& heading, const QString& title) {
    const QString a = comparable(heading);
    const QString b = comparable(title);
    return !a.isEmpty() && !b.isEmpty() && (a.contains(b) || b.contains(a));
}

} // namespace vt
