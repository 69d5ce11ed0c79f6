#include "sources/text/RenderedTextBuilder.h"

#include "sources/text/TextTransform.h"

#include <algorithm>

namespace vt {

namespace {

bool isCollapsible(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

} // namespace

void RenderedTextBuilder::beginContent() {
    if (m_pendingBreaks > 0) {
        if (!m_out.empty()) {
            m_out.append(static_cast<std::size_t>(m_pendingBreaks), '\n');
        }
        m_pendingBreaks = 0;
    }
}

void RenderedTextBuilder::emitPendingSpace() {
    if (m_pendingSpace && m_pendingSpaceVisible) {
        beginContent();
        m_out.push_back(' ');
    }
    m_pendingSpace = false;
}

void RenderedTextBuilder::collapse(std::string_view utf8, bool visible) {
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    while (p < end) {
        if (isCollapsible(*p)) {
            if (!m_atLineStart && !m_pendingSpace) {
                m_pendingSpace = true;
                m_pendingSpaceVisible = visible;
            }
            ++p;
            continue;
        }
        const char* run = p;
        while (p < end && !isCollapsible(*p)) {
            ++p;
        }
        emitPendingSpace();
        if (visible) {
            beginContent();
            m_out.append(run, static_cast<std::size_t>(p - run));
        }
        m_atLineStart = false;
    }
}

void RenderedTextBuilder::text(std::string_view utf8, WhiteSpace whiteSpace, bool visible,
                               TextTransform transform, std::string_view language) {
    if (transform != TextTransform::None) {
        processed(transformText(utf8, transform, m_inWord, language), whiteSpace, visible);
        return;
    }
    if (!utf8.empty()) {
        m_inWord = continuesWord(static_cast<unsigned char>(utf8.back()));
    }
    processed(utf8, whiteSpace, visible);
}

void RenderedTextBuilder::processed(std::string_view utf8, WhiteSpace whiteSpace, bool visible) {
    switch (whiteSpace) {
    case WhiteSpace::Collapse:
        collapse(utf8, visible);
        return;
    case WhiteSpace::Preserve:
        if (utf8.empty()) {
            return;
        }
        emitPendingSpace();
        if (visible) {
            beginContent();
            m_out.append(utf8);
        }
        m_atLineStart = utf8.back() == '\n';
        return;
    case WhiteSpace::PreserveBreaks:
        for (std::size_t start = 0; start <= utf8.size();) {
            const std::size_t lineFeed = utf8.find('\n', start);
            const std::size_t stop = lineFeed == std::string_view::npos ? utf8.size() : lineFeed;
            collapse(utf8.substr(start, stop - start), visible);
            if (lineFeed == std::string_view::npos) {
                break;
            }
            literal('\n', visible);
            start = lineFeed + 1;
        }
        return;
    }
}

void RenderedTextBuilder::lineBoundary() {
    m_inWord = false;
    m_pendingSpace = false;
    m_atLineStart = true;
}

void RenderedTextBuilder::requiredBreak(int count) {
    m_pendingBreaks = std::max(m_pendingBreaks, count);
}

void RenderedTextBuilder::literal(char c, bool visible) {
    m_inWord = false;
    m_pendingSpace = false;
    if (visible) {
        beginContent();
        m_out.push_back(c);
    }
    m_atLineStart = true;
}

// An object occupies its place in the line whether or not it shows.
void RenderedTextBuilder::inlineObject() {
    m_inWord = false;
    emitPendingSpace();
    m_atLineStart = false;
}

void RenderedTextBuilder::beginInlineBlock() {
    inlineObject();
    lineBoundary();
}

void RenderedTextBuilder::endInlineBlock() {
    m_pendingSpace = false;
    m_atLineStart = false;
}

} // namespace vt
