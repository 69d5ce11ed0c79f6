#pragma once

#include <QByteArray>
#include <QStringList>

namespace vt::test {

// A page written to resemble a real one, with what its article says and what
// around it is not the article.
struct ArticlePage {
    QByteArray html;
    QString title;       // the title the article text starts with
    QStringList article; // passages of the article, in reading order
    QStringList noise;   // passages that are not part of it
};

ArticlePage newsArticlePage();
ArticlePage blogPostPage();
ArticlePage documentationPage();
ArticlePage wikiPage();
ArticlePage forumThreadPage();
ArticlePage listingPage(); // twenty teasers: no article in it
ArticlePage shortPage();   // one paragraph: too little to narrow down

} // namespace vt::test
