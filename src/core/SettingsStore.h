#pragma once

#include <QString>

namespace vt {

namespace key {
inline constexpr char VolumeLevel[] = "Volume Level";
inline constexpr char SpeechRate[] = "Speech Rate";
inline constexpr char Combo1[] = "Combo1";
inline constexpr char Text3[] = "Text3";
inline constexpr char LastFolderDot[] = "LastFolderDot";
inline constexpr char ArticleOnly[] = "Article Only"; // "1" reads only a page's article
} // namespace key

// The per-user settings: organisation "Quillmere", group "Vellumtone", values
// as text. Nothing is cached: each read goes to the store, each write reaches
// the disk before it returns, so the next run reads it.
class SettingsStore {
  public:
    QString read(const QString& key, const QString& defaultValue) const;
    void write(const QString& key, const QString& value);

    // Val of the stored text (or of the default), rounded half to even.
    int readWholeNumber(const QString& key, const QString& defaultValue) const;
};

} // namespace vt
