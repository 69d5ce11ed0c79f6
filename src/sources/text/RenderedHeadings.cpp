#include "sources/text/RenderedHeadings.h"

#include <algorithm>
#include <utility>

namespace vt {

void collectHeadings(const std::string& utf8, const QString& text,
                     const std::vector<HeadingSpan>& spans, std::vector<TextHeading>& headings) {
    std::size_t bytes = 0;
    qsizetype chars = 0;
    const auto charsAt = [&](std::size_t byte) {
        if (byte > bytes) {
            chars +=
                QString::fromUtf8(utf8.data() + bytes, static_cast<qsizetype>(byte - bytes)).size();
            bytes = byte;
        }
        return chars;
    };
    std::vector<std::pair<std::size_t, int>> ends; // the conversion walks bytes forwards
    std::vector<qsizetype> beginChars;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        beginChars.push_back(charsAt(spans[i].begin));
        ends.emplace_back(spans[i].end, static_cast<int>(i));
    }
    std::sort(ends.begin(), ends.end());
    std::vector<qsizetype> endChars(spans.size());
    bytes = 0;
    chars = 0;
    for (const auto& [byte, index] : ends) {
        endChars[static_cast<std::size_t>(index)] = charsAt(byte);
    }
    for (std::size_t i = 0; i < spans.size(); ++i) {
        qsizetype start = beginChars[i];
        while (start < endChars[i] && text[start].isSpace()) {
            ++start;
        }
        if (start >= endChars[i] || (!headings.empty() && headings.back().offset >= start)) {
            continue;
        }
        qsizetype lineEnd = text.indexOf(u'\n', start);
        if (lineEnd < 0 || lineEnd > endChars[i]) {
            lineEnd = endChars[i];
        }
        const QString title = text.mid(start, lineEnd - start).simplified();
        if (!title.isEmpty()) {
            headings.push_back({start, title});
        }
    }
}

} // namespace vt
