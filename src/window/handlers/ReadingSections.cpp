#include "ReadingSections.h"

#include <algorithm>

namespace vt {

namespace {

constexpr qsizetype OpeningWordsLength = 60;

bool isBlank(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

// A paragraph's first line, cut after a whole word near the length a player shows.
QString openingWords(QStringView paragraph) {
    const qsizetype lineEnd = paragraph.indexOf(QLatin1Char('\n'));
    QString line = paragraph.left(lineEnd < 0 ? paragraph.size() : lineEnd).toString().simplified();
    if (line.size() <= OpeningWordsLength) {
        return line;
    }
    const qsizetype cut = line.lastIndexOf(QLatin1Char(' '), OpeningWordsLength);
    return line.left(cut > 0 ? cut : OpeningWordsLength) + QChar(0x2026);
}

struct Line {
    qsizetype start = 0;
    qsizetype end = 0; // before its line feed
};

std::vector<Line> linesOf(const QString& text) {
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            end = text.size();
        }
        lines.push_back({start, end});
        start = end + 1;
    }
    return lines;
}

std::vector<ReadingSection> paragraphSections(const QString& text) {
    const std::vector<Line> lines = linesOf(text);
    const auto blank = [&](const Line& line) {
        return isBlank(QStringView(text).mid(line.start, line.end - line.start));
    };
    // Whether a blank line stands between two lines of text anywhere.
    bool parted = false;
    bool seenText = false;
    bool blankAfterText = false;
    for (const Line& line : lines) {
        if (blank(line)) {
            blankAfterText = seenText;
        } else {
            parted = parted || blankAfterText;
            seenText = true;
        }
    }
    std::vector<ReadingSection> sections;
    bool afterBreak = true;
    for (const Line& line : lines) {
        if (blank(line)) {
            afterBreak = true;
            continue;
        }
        if (afterBreak || !parted) {
            sections.push_back({sections.empty() ? 0 : line.start,
                                openingWords(QStringView(text).mid(line.start))});
        }
        afterBreak = false;
    }
    return sections;
}

} // namespace

std::vector<ReadingSection> readingSections(const QString& text,
                                            const std::vector<TextHeading>& headings,
                                            const QString& firstTitle) {
    if (isBlank(text)) {
        return {};
    }
    std::vector<TextHeading> inText;
    for (const TextHeading& heading : headings) {
        const bool ordered = inText.empty() || heading.offset > inText.back().offset;
        if (heading.offset >= 0 && heading.offset < text.size() && ordered) {
            inText.push_back(heading);
        }
    }
    if (inText.empty()) {
        return paragraphSections(text);
    }
    std::vector<ReadingSection> sections;
    if (!isBlank(QStringView(text).left(inText.front().offset))) {
        sections.push_back({0, firstTitle});
    }
    for (const TextHeading& heading : inText) {
        sections.push_back({sections.empty() ? 0 : heading.offset, heading.title});
    }
    return sections;
}

std::size_t sectionAt(const std::vector<ReadingSection>& sections, qsizetype offset) {
    const auto after = std::upper_bound(
        sections.begin(), sections.end(), offset,
        [](qsizetype at, const ReadingSection& section) { return at < section.offset; });
    return after == sections.begin() ? 0 : static_cast<std::size_t>(after - sections.begin()) - 1;
}

} // namespace vt
