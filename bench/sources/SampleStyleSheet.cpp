#include "SampleStyleSheet.h"

#include <QRandomGenerator>

namespace vt::bench {

namespace {

const char* const Components[] = {"header", "nav",    "menu",   "card",  "story", "byline",
                                  "footer", "button", "dialog", "modal", "share", "promo",
                                  "ad",     "note",   "author", "media", "grid",  "list"};
const char* const Parts[] = {"item", "title", "link", "icon", "body", "label", "wrap", "inner"};
const char* const Tags[] = {"div", "span", "a", "li", "p", "ul", "h2", "section", "button"};

QByteArray className(QRandomGenerator& random) {
    return QByteArray(Components[random.bounded(int(std::size(Components)))]) + "__" +
           Parts[random.bounded(int(std::size(Parts)))] + QByteArray::number(random.bounded(40));
}

QByteArray selector(QRandomGenerator& random) {
    switch (random.bounded(12)) {
    case 0:
        return "." + className(random) + ":hover";
    case 1:
        return "." + className(random) + " ." + className(random);
    case 2:
        return "." + className(random) + " > " + Tags[random.bounded(int(std::size(Tags)))];
    case 3:
        return Tags[random.bounded(int(std::size(Tags)))] + QByteArray("[data-state=\"open\"]");
    case 4:
        return "#id" + QByteArray::number(random.bounded(500)) + " ." + className(random);
    case 5:
        return "." + className(random) + "::before";
    case 6:
        return "." + className(random) + ":not(.is-active) + ." + className(random);
    case 7:
        return "." + className(random) + ", ." + className(random);
    case 8:
        return "ul." + className(random) + " li:nth-child(2n+1)";
    default:
        return "." + className(random);
    }
}

QByteArray declarations(QRandomGenerator& random) {
    static const char* const Plain[] = {
        "color:#333;margin:0 auto;padding:4px 8px",
        "font-size:14px;line-height:1.4;font-family:Arial,Helvetica,sans-serif",
        "display:flex;align-items:center;justify-content:space-between",
        "display:block;width:100%;box-sizing:border-box",
        "background:url(\"/img/bg.png\") no-repeat 0 0/cover;border:1px solid #ddd",
        "position:absolute;top:0;left:0;z-index:10",
        "text-transform:uppercase;letter-spacing:.05em",
        "display:inline-block;vertical-align:middle",
        "transition:opacity .2s ease-in-out,transform .2s;opacity:.9",
        "display:none",
        "visibility:hidden",
        "white-space:nowrap;overflow:hidden;text-overflow:ellipsis",
    };
    return Plain[random.bounded(int(std::size(Plain)))];
}

} // namespace

QByteArray sampleStyleSheet(int rules) {
    QRandomGenerator random(20240601);
    QByteArray css = "/* site styles */\n:root{--accent:#0a5;--gap:8px}\nhtml{font-size:16px}\n"
                     "body{margin:0;font-family:system-ui}\n[hidden]{display:none!important}\n"
                     "@import url(\"/css/fonts.css\");\n@font-face{font-family:X;src:url(x.woff2)}"
                     "\n@keyframes spin{from{transform:rotate(0)}to{transform:rotate(360deg)}}\n";
    int written = 0;
    while (written < rules) {
        if (random.bounded(25) == 0) {
            css += random.bounded(2) ? "@media (max-width: 600px) {\n"
                                     : "@media screen and (min-width: 768px) {\n";
            for (int i = 0; i < 10 && written < rules; ++i, ++written) {
                css += "  " + selector(random) + " { " + declarations(random) + " }\n";
            }
            css += "}\n";
            continue;
        }
        css += selector(random) + "{" + declarations(random) + "}\n";
        ++written;
    }
    return css;
}

QByteArray withStyleSheet(const QByteArray& page, const QByteArray& css) {
    QByteArray result = page;
    const qsizetype head = result.indexOf("</head>");
    result.insert(head < 0 ? 0 : head, "<style>\n" + css + "</style>\n");
    return result;
}

QByteArray manyRulesPage(int rules, int elements) {
    QRandomGenerator random(20240602);
    QByteArray html = "<!DOCTYPE html><html><head><style>\n" + sampleStyleSheet(rules) +
                      "</style></head><body>\n";
    int written = 0;
    while (written < elements) {
        html += "<div class=\"" + className(random) + " " + className(random) + "\" id=\"id" +
                QByteArray::number(random.bounded(500)) + "\">";
        ++written;
        html += "<ul class=\"" + className(random) + "\">";
        ++written;
        for (int i = 0; i < 6 && written < elements; ++i) {
            html += "<li class=\"" + className(random) + "\"><a href=\"#\" class=\"" +
                    className(random) + "\">link " + QByteArray::number(written) +
                    "</a> <span data-state=\"open\">text</span></li>";
            written += 3;
        }
        html += "</ul></div>\n";
    }
    return html + "</body></html>\n";
}

} // namespace vt::bench
