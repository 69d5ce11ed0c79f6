// Style sheets on arbitrary text: reading the sheet, its selectors and its
// declarations, and the cascade over a small page with siblings, nesting and
// attributes, must not crash. Checks what must hold for any sheet: a rule's
// block lies inside the sheet and its prelude (comments taken out) is no
// longer than the sheet, a selector list that parses gives
// compounds for each selector, and a sheet's rendered page has no more text
// than the page without the sheet.
#include "sources/style/CssDeclarations.h"
#include "sources/style/CssSelector.h"
#include "sources/style/StyleSheetScanner.h"
#include "support/html/HtmlText.h"

#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

// Elements for the selectors to meet: siblings, a nest, classes, ids,
// attributes, lists and a table.
constexpr char Page[] =
    "<div id=main class=\"a b\"><p>one</p><q>q</q><p class=x>two</p><span lang=en>three</span>"
    "<ul><li>four<li data-n=5>five</ul><section><div><p>six</p></div></section>"
    "<table><tr><td>seven<td>eight</table><pre> nine </pre></div><p>ten</p>";

bool inside(std::string_view part, std::string_view whole) {
    return part.empty() ||
           (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view sheet(reinterpret_cast<const char*>(data), size);
    vt::css::forEachStyleRule(sheet, [&](std::string_view prelude, std::string_view block) {
        if (prelude.size() > sheet.size() || !inside(block, sheet)) {
            std::abort();
        }
        std::vector<vt::css::ComplexSelector> selectors;
        if (vt::css::parseSelectorList(prelude, selectors)) {
            for (const vt::css::ComplexSelector& selector : selectors) {
                if (selector.compounds.empty()) {
                    std::abort();
                }
            }
        }
        (void)vt::css::parseDeclarations(block);
    });
    // A sheet can hide text, never add any.
    static const qsizetype plain = vt::renderedTextOfUtf8(QByteArray(Page)).simplified().size();
    QByteArray page = "<style>";
    page.append(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    page.append("</style>");
    page.append(Page);
    const QString styled = vt::renderedTextOfUtf8(page);
    const bool endsTheSheet = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))
                                  .toLower()
                                  .contains("</style");
    if (!endsTheSheet && styled.simplified().size() > plain) {
        std::abort();
    }
    return 0;
}
