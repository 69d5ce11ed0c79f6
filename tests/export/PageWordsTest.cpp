// What the export hands the engine for realistic pages says the page's words:
// eSpeak NG's phonemes for it are those of the page's rendered text, word by
// word, except where a decorative character was left out, its ordinary words
// spoken in lower case as they always were.
#include "support/speechtext/PageWords.h"

#include "support/LocalHttpServer.h"
#include "support/TestEnvironment.h"
#include "support/TestSpeech.h"

#include <gtest/gtest.h>

namespace vt {
namespace {

struct PageCase {
    const char* file;
    QByteArray contentType;
    QByteArray language;
    // What the page must hold for the case to test anything.
    std::vector<const char*> mustHold;
};

void PrintTo(const PageCase& page, std::ostream* out) {
    *out << page.file;
}

QByteArray pageBytes(const char* file) {
    return test::readAll(QStringLiteral(VT_TEST_PAGES "/") + QString::fromLatin1(file));
}

class PageWordsTest : public ::testing::TestWithParam<PageCase> {
  protected:
    test::TestSpeech m_speech;
    test::LocalHttpServer m_server;
};

TEST_P(PageWordsTest, TheEngineIsGivenThePageWords) {
    const PageCase& page = GetParam();
    m_server.page("/page", pageBytes(page.file), page.contentType);
    const test::ExportedSpeech speech = test::exportedSpeechOf(m_server.url("/page"));
    ASSERT_TRUE(speech.failure.isEmpty()) << speech.failure.toStdString();
    for (const char* text : page.mustHold) {
        ASSERT_TRUE(speech.rendered.contains(QString::fromUtf8(text))) << text;
    }
    ASSERT_FALSE(speech.rendered.contains(QChar(0xfffd)));
    const QString given = speech.pieces.join(QString());
    EXPECT_FALSE(given.contains(QChar(0xfffd))) << given.toStdString();

    const QByteArray voice = test::voiceForLanguage(page.language);
    test::PhonemeEngine& engine = m_speech.engine;
    const QString pageWords = test::inSpeakingCase(test::withoutDecoration(speech.rendered));
    const QStringList expected = test::phonemeWords(engine, {pageWords}, voice);
    const QStringList said = test::phonemeWords(engine, speech.pieces, voice);
    ASSERT_GT(expected.size(), 150);
    const test::WordDifference difference = test::compareWords(expected, said);
    EXPECT_EQ(difference.differing, 0)
        << "page words -> spoken words:\n  " << difference.stretches.join("\n  ").toStdString()
        << "\nexpected text:\n"
        << pageWords.toStdString() << "\ngiven text:\n"
        << given.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    RealisticPages, PageWordsTest,
    ::testing::Values(PageCase{"en-news.html",
                               "text/html; charset=utf-8",
                               "en",
                               {"didn\u2019t", "It's", "parents'", "children\u2019s", "10%",
                                "$5.99", "AT&T", "C++", "#1", " US", " IT ", "iPhone", "\u201c",
                                "\u2014", "\u2013", "\u2026", "..."}},
                      PageCase{"de-blog.html",
                               "text/html",
                               "de",
                               {"Mädchen", "Straße", "„Sie haben Glück“", "3,50 €",
                                "Öffnungszeiten", " – "}},
                      PageCase{"fr-wiki.html",
                               "text/html; charset=utf-8",
                               "fr",
                               {"C’est", "l’Église", "« la plus", "7 %", "1831. Ça", "français"}},
                      PageCase{"es-shop.html",
                               "text/html; charset=utf-8",
                               "es",
                               {"¿Buscas", "Muñoz", "«Es la", "22%", "34,90 €", "¡No", "Íñigo"}},
                      PageCase{"ru-forum.html",
                               "text/html; charset=utf-8",
                               "ru",
                               {"Всем привет!", "«Café de Flore»", "900 €", "10%", " — "}}),
    [](const ::testing::TestParamInfo<PageCase>& info) {
        QString name = QString::fromLatin1(info.param.file).section(u'.', 0, 0);
        return name.replace(u'-', u'_').toStdString();
    });

} // namespace
} // namespace vt
