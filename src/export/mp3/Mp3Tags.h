#pragma once

#include "Mp3Chapters.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace vt {

// What a music player shows of an exported page.
struct Mp3TagFields {
    QString title;                    // the page's title, or its address when it has none
    QString artist;                   // the site's host name ("" for a local file)
    QString album;                    // always the program's name
    QString comment;                  // the address
    int year = 0;                     // the year of the export
    QString description;              // the page's own summary, a second comment
    std::vector<Mp3Chapter> chapters; // with a table of contents, when there are any
};

// The fields for the page at address whose title is pageTitle ("" when it has none).
Mp3TagFields mp3TagFieldsFor(const QString& address, const QString& pageTitle, int year);

// A complete ID3v2.4 tag (UTF-8 texts) carrying the fields, to put in front of
// the MP3 frames. Empty fields get no frame. Chapters become CHAP frames
// (each with its title as TIT2) under one ordered top-level CTOC.
QByteArray id3v2TagBytes(const Mp3TagFields& fields);

} // namespace vt
