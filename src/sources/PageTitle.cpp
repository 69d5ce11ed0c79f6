#include "sources/PageTitle.h"

#include "sources/RenderedText.h"

#include <gumbo.h>
#include <string_view>

namespace vt {

namespace {

const GumboNode* headOf(const GumboNode* html) {
    const GumboVector& children = html->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_HEAD) {
            return child;
        }
    }
    return nullptr;
}

bool isOpenGraphTitle(const GumboNode* meta) {
    for (const char* name : {"property", "name"}) {
        const GumboAttribute* a = gumbo_get_attribute(&meta->v.element.attributes, name);
        if (a &&
            QString::fromUtf8(a->value).trimmed().compare(u"og:title", Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
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
    const GumboNode* head = headOf(documentElement);
    if (!head) {
        return {};
    }
    const GumboVector& children = head->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_META &&
            isOpenGraphTitle(child)) {
            const GumboAttribute* content =
                gumbo_get_attribute(&child->v.element.attributes, "content");
            if (content) {
                return QString::fromUtf8(content->value).simplified();
            }
        }
    }
    return {};
}

QString titleElementOf(const GumboNode* documentElement) {
    const GumboNode* head = headOf(documentElement);
    if (!head) {
        return {};
    }
    const GumboVector& children = head->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_TITLE) {
            return textChildrenOf(child);
        }
    }
    return {};
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
