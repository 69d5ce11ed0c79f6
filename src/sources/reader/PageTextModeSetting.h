#pragma once

#include "sources/reader/PageTextMode.h"

#include <QStringList>

namespace vt {

inline constexpr char ArticleOption[] = "--article";
inline constexpr char WholePageOption[] = "--whole-page";

// The stored choice ("Article Only" is "1" for the article); the whole page
// when nothing, or something else, is stored, or the settings cannot be read.
PageTextMode storedPageTextMode();
void storePageTextMode(PageTextMode mode); // throws Failure when it cannot be stored

// Takes every --article and --whole-page out of a command's arguments and
// returns the mode they ask for: --whole-page wins over --article, and without
// either the stored choice decides.
PageTextMode takePageTextModeOptions(QStringList& arguments);

} // namespace vt
