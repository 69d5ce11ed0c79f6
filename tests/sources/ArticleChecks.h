#pragma once

#include "QtPrinting.h"
#include "sources/reader/PageText.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace vt::test {

inline PageTexts articleTextsOf(const QByteArray& html) {
    return pageTextsOfHtml(html, QString(), PageTextMode::ArticleOnly);
}

// Each passage is in the text, after the one before it.
inline void expectPassagesInOrder(const QString& text, const QStringList& passages) {
    qsizetype from = 0;
    for (const QString& passage : passages) {
        const qsizetype at = text.indexOf(passage, from);
        EXPECT_GE(at, 0) << "missing or out of order: " << passage.toStdString() << "\nin:\n"
                         << text.toStdString();
        if (at >= 0) {
            from = at + passage.size();
        }
    }
}

inline void expectPassagesAbsent(const QString& text, const QStringList& passages) {
    for (const QString& passage : passages) {
        EXPECT_FALSE(text.contains(passage)) << "read: " << passage.toStdString() << "\nin:\n"
                                             << text.toStdString();
    }
}

} // namespace vt::test
