#include "sources/reader/PageTextModeSetting.h"

#include "core/SettingsStore.h"

namespace vt {

PageTextMode storedPageTextMode() {
    try {
        const QString stored =
            SettingsStore().read(QString::fromLatin1(key::ArticleOnly), QStringLiteral("0"));
        return stored == u"1" ? PageTextMode::ArticleOnly : PageTextMode::WholePage;
    } catch (const std::exception&) {
        return PageTextMode::WholePage;
    }
}

void storePageTextMode(PageTextMode mode) {
    SettingsStore().write(QString::fromLatin1(key::ArticleOnly), mode == PageTextMode::ArticleOnly
                                                                     ? QStringLiteral("1")
                                                                     : QStringLiteral("0"));
}

PageTextMode takePageTextModeOptions(QStringList& arguments) {
    const qsizetype wholePage = arguments.removeAll(QLatin1String(WholePageOption));
    const qsizetype article = arguments.removeAll(QLatin1String(ArticleOption));
    if (wholePage > 0) {
        return PageTextMode::WholePage;
    }
    return article > 0 ? PageTextMode::ArticleOnly : storedPageTextMode();
}

} // namespace vt
