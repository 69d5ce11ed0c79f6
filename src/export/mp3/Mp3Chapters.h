#pragma once

#include "export/CutTextFileFSO.h"
#include "sources/text/PageOutline.h"
#include "speech/wav/SaveToWAV.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace vt {

// A chapter of the joined MP3, in samples of its decoded audio (22,050 Hz).
struct Mp3Chapter {
    QString title;
    qint64 startSample = 0;
    qint64 endSample = 0;
};

// What the encoder and a decoder together put in front of a part's audio:
// LAME's 576 samples of encoder delay and the 529 of the decoder's filter
// bank. A part file has no LAME tag that would let a player drop them, so
// they are heard at the start of every part.
inline constexpr qint64 PartDelaySamples = 576 + 529;

// The number of samples a decoder makes of the MP3 file: its frames times the
// samples of a frame. Throws Failure when the file cannot be read or holds
// something other than MPEG audio frames after an optional ID3v2 tag.
qint64 mp3DecodedSamples(const QString& path);

// Where each heading of the page text will be heard: it asks the rendering of
// the parts for the sample position of the line each heading starts on, and
// then lays the chapters out over the joined parts.
class ChapterPlan {
  public:
    ChapterPlan() = default;
    // text is the page text as split; lineStarts tells where its lines went.
    ChapterPlan(const QString& text, const std::vector<TextHeading>& headings,
                const std::vector<PartLine>& lineStarts);

    bool isEmpty() const { return m_headings.empty(); }
    // The marks the rendering of a part must fill; nullptr when it has none.
    WavLineMarks* marksFor(int part);

    // The chapters over the parts (in index order, already encoded): a first
    // one from the start titled firstTitle, then one per heading, each up to
    // the next; the last ends with the audio. None without headings. Throws
    // Failure when a part's length cannot be read.
    std::vector<Mp3Chapter> chapters(const QString& firstTitle, const QStringList& mp3Parts) const;

  private:
    struct Heading {
        int part = 0;
        std::size_t mark = 0; // its place among the part's marks
        QString title;
    };

    std::vector<Heading> m_headings;
    std::map<int, WavLineMarks> m_marks;
};

} // namespace vt
