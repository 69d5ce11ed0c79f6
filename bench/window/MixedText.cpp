#include "MixedText.h"

#include <QStringList>
#include <random>

namespace vt::bench {

namespace {

const QStringList& proseWords() {
    static const QStringList words =
        QString::fromUtf8(
            "the of and to in a is that for it as was with be by on not he I this are or his from "
            "at "
            "which but have an they you were her she there been one all we their has would when if "
            "so no what up out about into than them can only other new some time could these two "
            "may "
            "first then do any like my now over such our man me even most made after also did many "
            "before must through back years where much your way well down should because each just "
            "those people how too little state good very make world still own see men work long "
            "get "
            "here between both life being under never day same another know while last might us "
            "great old year off come since against go came right used take three reading voice "
            "page "
            "speech window sentence paragraph address listener evening library morning question")
            .split(u' ');
    return words;
}

const QStringList& accentedWords() {
    static const QStringList words =
        QString::fromUtf8(
            "café naïve façade résumé déjà señor mañana Größe Straße über Ærø søster Åland crème "
            "brûlée fiancée coöperate Zoë São João Müller Ångström élève garçon cañón")
            .split(u' ');
    return words;
}

const QStringList& cjkSentences() {
    static const QStringList sentences = {
        QString::fromUtf8("今日は天気がとても良いので、公園まで散歩に行きました。"),
        QString::fromUtf8("这本书讲述了一个关于友谊和勇气的故事。"),
        QString::fromUtf8("音声で文章を読み上げるソフトウェアです。"),
        QString::fromUtf8("我们明天早上九点在图书馆见面。"),
    };
    return sentences;
}

const QStringList& sentenceEnds() {
    static const QStringList ends = {
        QStringLiteral("."), QStringLiteral("."),    QStringLiteral("."), QStringLiteral("?"),
        QStringLiteral("!"), QString::fromUtf8("…"), QStringLiteral(":")};
    return ends;
}

class Writer {
  public:
    explicit Writer(qsizetype characters) : m_target(characters) { m_text.reserve(characters); }
    bool full() const { return m_text.size() >= m_target; }
    QString take() {
        m_text.truncate(m_target);
        return std::move(m_text);
    }

    void paragraph() {
        const int sentences = pick(2, 7);
        for (int s = 0; s < sentences; ++s) {
            if (pick(1, 40) == 1) {
                m_text += one(cjkSentences());
            } else {
                sentence();
            }
            m_text += u' ';
        }
        m_text += pick(1, 3) == 1 ? QStringLiteral("\r\n\r\n") : QStringLiteral("\n\n");
    }

  private:
    void sentence() {
        const int words = pick(5, 22);
        const bool quoted = pick(1, 8) == 1;
        if (quoted) {
            m_text += pick(0, 1) ? QString::fromUtf8("“") : QStringLiteral("\"");
        }
        for (int w = 0; w < words; ++w) {
            if (w > 0) {
                m_text += u' ';
            }
            word(w == 0);
            const int mark = pick(1, 60);
            if (mark <= 4) {
                m_text += u',';
            } else if (mark == 5) {
                m_text += u';';
            } else if (mark == 6) {
                m_text += QString::fromUtf8(" —");
            } else if (mark == 7) {
                m_text += QStringLiteral(" -");
            }
        }
        m_text += one(sentenceEnds());
        if (quoted) {
            m_text += pick(0, 1) ? QString::fromUtf8("”") : QStringLiteral("\"");
        }
    }

    void word(bool capital) {
        const int kind = pick(1, 100);
        QString w;
        if (kind <= 6) {
            w = one(accentedWords());
        } else if (kind <= 9) {
            w = QString::number(pick(1, 2025));
        } else if (kind == 10) {
            w = QStringLiteral("(see https://example.org/pages/%1?id=%2&lang=en)")
                    .arg(pick(1, 999))
                    .arg(pick(1, 99999));
        } else if (kind == 11) {
            w = one(proseWords()) + QString::fromUtf8("’s");
        } else if (kind == 12) {
            w = QStringLiteral("'") + one(proseWords()) + QStringLiteral("'");
        } else if (kind == 13) {
            w = QStringLiteral("\t") + one(proseWords());
        } else {
            w = one(proseWords());
        }
        if (capital && !w.isEmpty()) {
            w[0] = w[0].toUpper();
        }
        m_text += w;
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    const QString& one(const QStringList& list) {
        return list[pick(0, static_cast<int>(list.size()) - 1)];
    }

    qsizetype m_target;
    QString m_text;
    std::mt19937 m_random{20240501};
};

} // namespace

QString mixedText(qsizetype characters) {
    Writer writer(characters);
    while (!writer.full()) {
        writer.paragraph();
    }
    return writer.take();
}

} // namespace vt::bench
