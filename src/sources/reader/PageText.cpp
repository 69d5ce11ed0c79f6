#include "sources/reader/PageText.h"

#include "sources/article/ArticleChoice.h"
#include "sources/article/PageHead.h"
#include "sources/article/PageTitle.h"
#include "sources/article/SiteLinks.h"
#include "sources/encoding/TextEncoding.h"
#include "sources/html/HtmlParse.h"
#include "sources/html/RenderStop.h"
#include "sources/text/RenderedText.h"

#include <algorithm>
#include <gumbo.h>
#include <utility>

namespace vt {

namespace {

// Text between a heading above the article and the article's start, at most:
// room for a byline and a date.
constexpr int HeadingDistance = 250;

using Nodes = std::vector<ArticleNode>;

const ArticleNode& at(const Nodes& nodes, int index) {
    return nodes[static_cast<std::size_t>(index)];
}

bool isH1(const ArticleNode& node) {
    return node.element->v.element.tag == GUMBO_TAG_H1 && node.chars > 0;
}

bool isPictureCaption(const ArticleNode& node) {
    const GumboTag tag = node.element->v.element.tag;
    return tag == GUMBO_TAG_FIGURE || tag == GUMBO_TAG_FIGCAPTION || tag == GUMBO_TAG_CAPTION;
}

// Whether anything from index up to (not including) stop is noise, left out,
// or a figure or caption, whose headings title a picture or a table.
bool isInNoise(const Nodes& nodes, int index, int stop, const std::vector<int>& leftOut) {
    for (int i = index; i > stop && i >= 0; i = at(nodes, i).parent) {
        if (at(nodes, i).hint == ArticleHint::Negative || isPictureCaption(at(nodes, i)) ||
            std::find(leftOut.begin(), leftOut.end(), i) != leftOut.end()) {
            return true;
        }
    }
    return false;
}

// Empties elements for as long as it lives, so the rendering leaves them out;
// puts their children back when it goes. The tree is this extraction's own for
// the call (the caller parsed it and nobody else is reading it).
class LeftOutElements {
  public:
    explicit LeftOutElements(const Nodes& nodes, const std::vector<int>& leftOut) {
        m_saved.reserve(leftOut.size());
        for (const int index : leftOut) {
            auto* element = const_cast<GumboNode*>(at(nodes, index).element);
            GumboVector& children = element->v.element.children;
            m_saved.emplace_back(&children, children.length);
            children.length = 0;
        }
    }
    ~LeftOutElements() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            it->first->length = it->second;
        }
    }
    LeftOutElements(const LeftOutElements&) = delete;
    LeftOutElements& operator=(const LeftOutElements&) = delete;

  private:
    std::vector<std::pair<GumboVector*, unsigned>> m_saved;
};

// A heading's text on one line, without its marks (an anchor's "¶").
QString headingText(const Nodes& nodes, int heading) {
    std::vector<int> marks;
    for (int i = heading + 1; i < at(nodes, heading).end; ++i) {
        if (at(nodes, i).hint == ArticleHint::Marker) {
            marks.push_back(i);
        }
    }
    const LeftOutElements leftOut(nodes, marks);
    return headingTextOf(at(nodes, heading).element);
}

// The index of the h1 that titles the article: the first one inside it, else
// one just above it that the head's titles agree with; -1 when neither.
int titleHeading(const Nodes& nodes, const ArticleChoice& choice, const QString& headTitle,
                 const QString& openGraphTitle) {
    const ArticleNode& root = at(nodes, choice.root);
    for (int i = choice.root + 1; i < root.end; ++i) {
        if (isH1(at(nodes, i)) && !isInNoise(nodes, i, choice.root, choice.leftOut)) {
            return i;
        }
    }
    for (int i = choice.root - 1; i >= 0; --i) {
        const ArticleNode& node = at(nodes, i);
        if (node.textBefore + node.chars + HeadingDistance < root.textBefore) {
            break; // too far above
        }
        if (!isH1(node) || node.end > choice.root || isInNoise(nodes, i, -1, {})) {
            continue;
        }
        const QString text = headingText(nodes, i);
        if ((headTitle.isEmpty() && openGraphTitle.isEmpty()) || titlesAgree(text, headTitle) ||
            titlesAgree(text, openGraphTitle)) {
            return i;
        }
    }
    return -1;
}

// Whether the text's first line is the title itself, not merely a line that
// starts with the same words ("New Zealand" before "New Zealand (Maori: ...").
bool firstLineIs(const QString& text, const QString& title) {
    const qsizetype end = text.indexOf(u'\n');
    const QString line = end < 0 ? text : text.left(end);
    return line.simplified().toCaseFolded() == title.simplified().toCaseFolded();
}

QString articleText(const Nodes& nodes, ArticleChoice choice, int heading, const QString& title,
                    std::vector<TextHeading>& headings) {
    const ArticleNode& root = at(nodes, choice.root);
    if (heading > choice.root && heading < root.end) {
        choice.leftOut.push_back(heading); // it heads the text, wherever it stood
    }
    QString body;
    {
        const LeftOutElements leftOut(nodes, choice.leftOut);
        body = renderedTextOf(root.element, &headings);
    }
    if (body.trimmed().isEmpty()) {
        headings.clear();
        return {};
    }
    if (title.isEmpty() || firstLineIs(body, title)) {
        return body;
    }
    const QString head = title + QStringLiteral("\n\n");
    shiftHeadings(headings, head.size());
    return head + body;
}

} // namespace

PageTexts pageTextsOf(const GumboNode* documentElement, PageTextMode mode) {
    const PageHead page = readPageHead(documentElement);
    const Nodes nodes = scanArticleNodes(documentElement, SiteLinks(page.address));
    const ArticleChoice choice = chooseArticle(nodes);
    const QString& headTitle = page.title;
    const QString& openGraphTitle = page.openGraphTitle;
    const int heading =
        choice.root >= 0 ? titleHeading(nodes, choice, headTitle, openGraphTitle) : -1;
    PageTexts texts;
    texts.title = heading >= 0                ? headingText(nodes, heading)
                  : !openGraphTitle.isEmpty() ? openGraphTitle
                                              : headTitle;
    if (mode == PageTextMode::ArticleOnly && choice.convincing) {
        texts.text = articleText(nodes, choice, heading, texts.title, texts.outline.headings);
        texts.article = !texts.text.isEmpty();
    }
    if (!texts.article) {
        texts.outline.headings.clear();
        texts.text = renderedTextOf(documentElement, &texts.outline.headings);
    }
    texts.outline.description = page.description;
    return texts;
}

PageTexts pageTextsOfHtml(const QByteArray& html, const QString& encodingLabel, PageTextMode mode,
                          const std::atomic_bool* cancel) {
    const RenderStopScope stopScope(cancel);
    const ParsedHtml document(toUtf8Document(html, encodingLabel.toLatin1()), cancel);
    return pageTextsOf(document.documentElement(), mode);
}

} // namespace vt
