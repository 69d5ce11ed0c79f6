#pragma once

#include <QIcon>
#include <QString>
#include <functional>

class QWidget;

namespace vt {

class Dialogs;

inline constexpr char ProductName[] = "Vellumtone";
inline constexpr char HomePageAddress[] = "https://quillmere.example/";

// About one start in a hundred opens the maker's home page: when the drawn
// number (1 to 100) is 7.
void OpenHomePageAtRandom(Dialogs& dialogs, const std::function<int()>& randomPercent);

// The application title: the display name without its last blank-separated
// word, shortened further until it has at most 40 characters. A name without
// a blank is kept whole.
QString appTitleFor(const QString& displayName);
void SetAppTitle();

QIcon productIcon();

// With a skin file x/o.cjs beside the program: button-face backgrounds for the
// window, its frames and labels, and the file applied as a style sheet.
// Without the file nothing changes. A skin that cannot be read throws.
void ApplySkin(QWidget* window);

} // namespace vt
