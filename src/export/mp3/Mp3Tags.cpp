#include "Mp3Tags.h"

#include "export/BidiControls.h"

#include <QUrl>
#include <chapterframe.h>
#include <commentsframe.h>
#include <id3v2tag.h>
#include <tableofcontentsframe.h>
#include <textidentificationframe.h>

namespace vt {

namespace {

constexpr qint64 SpeechSampleRate = 22050;

// Players show a line or two of a tag; a page's title can be megabytes.
constexpr qsizetype MaxTagCharacters = 500;

// At most MaxTagCharacters characters (a surrogate pair is one), without the
// characters that reorder what a player shows.
QString boundedTagText(const QString& text) {
    QString kept;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size() && characters < MaxTagCharacters; ++i) {
        const QChar c = text.at(i);
        if (isBidiControl(c)) {
            continue;
        }
        kept.append(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            kept.append(text.at(++i));
        }
        ++characters;
    }
    return kept;
}

TagLib::String tagText(const QString& text) {
    return TagLib::String(boundedTagText(text).toStdString(), TagLib::String::UTF8);
}

void addTextFrame(TagLib::ID3v2::Tag& tag, const char* id, const QString& text) {
    if (text.isEmpty()) {
        return;
    }
    auto* frame =
        new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(id), TagLib::String::UTF8);
    frame->setText(tagText(text));
    tag.addFrame(frame); // the tag owns its frames
}

void addComment(TagLib::ID3v2::Tag& tag, const QString& description, const QString& text) {
    auto* comment = new TagLib::ID3v2::CommentsFrame(TagLib::String::UTF8);
    comment->setLanguage("eng");
    comment->setDescription(tagText(description));
    comment->setText(tagText(text));
    tag.addFrame(comment);
}

// CHAP and CTOC count time in milliseconds.
unsigned int toMs(qint64 samples) {
    return static_cast<unsigned int>((samples * 1000 + SpeechSampleRate / 2) / SpeechSampleRate);
}

void addChapters(TagLib::ID3v2::Tag& tag, const std::vector<Mp3Chapter>& chapters) {
    if (chapters.empty()) {
        return;
    }
    constexpr unsigned int NoOffset = 0xFFFFFFFF; // the times alone place a chapter
    TagLib::ByteVectorList ids;
    for (std::size_t i = 0; i < chapters.size(); ++i) {
        const TagLib::ByteVector id(
            QByteArray("chp").append(QByteArray::number(i + 1)).constData());
        auto* title = new TagLib::ID3v2::TextIdentificationFrame("TIT2", TagLib::String::UTF8);
        title->setText(tagText(chapters[i].title));
        TagLib::ID3v2::FrameList embedded;
        embedded.append(title); // the chapter owns it
        auto* chapter = new TagLib::ID3v2::ChapterFrame(id, toMs(chapters[i].startSample),
                                                        toMs(chapters[i].endSample), NoOffset,
                                                        NoOffset, embedded);
        tag.addFrame(chapter);
        ids.append(id);
    }
    auto* contents = new TagLib::ID3v2::TableOfContentsFrame("toc", ids);
    contents->setIsTopLevel(true);
    contents->setIsOrdered(true);
    tag.addFrame(contents);
}

} // namespace

Mp3TagFields mp3TagFieldsFor(const QString& address, const QString& pageTitle, int year) {
    Mp3TagFields fields;
    const QString title = pageTitle.simplified();
    fields.title = title.isEmpty() ? address : title;
    fields.artist = QUrl(address).host();
    fields.album = QStringLiteral("Vellumtone");
    fields.comment = address;
    fields.year = year;
    return fields;
}

QByteArray id3v2TagBytes(const Mp3TagFields& fields) {
    TagLib::ID3v2::Tag tag;
    addTextFrame(tag, "TIT2", fields.title);
    addTextFrame(tag, "TPE1", fields.artist);
    addTextFrame(tag, "TALB", fields.album);
    if (fields.year > 0) {
        addTextFrame(tag, "TDRC", QString::number(fields.year));
    }
    if (!fields.comment.isEmpty()) {
        addComment(tag, QString(), fields.comment);
    }
    if (!fields.description.isEmpty()) {
        addComment(tag, QStringLiteral("description"), fields.description);
    }
    addChapters(tag, fields.chapters);
    const TagLib::ByteVector bytes = tag.render();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace vt
