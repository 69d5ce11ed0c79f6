#include "Mp3Tags.h"

#include <QUrl>
#include <commentsframe.h>
#include <id3v2tag.h>
#include <textidentificationframe.h>

namespace vt {

namespace {

TagLib::String tagText(const QString& text) {
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
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
        auto* comment = new TagLib::ID3v2::CommentsFrame(TagLib::String::UTF8);
        comment->setLanguage("eng");
        comment->setText(tagText(fields.comment));
        tag.addFrame(comment);
    }
    const TagLib::ByteVector bytes = tag.render();
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace vt
