#include "SamplePage.h"

#include <QRandomGenerator>
#include <QStringList>

namespace vt::bench {

namespace {

const char* const Words[] = {
    "the",
    "reader",
    "page",
    "voice",
    "speech",
    "of",
    "and",
    "a",
    "to",
    "in",
    "is",
    "that",
    "for",
    "with",
    "as",
    "was",
    "on",
    "archive",
    "history",
    "council",
    "morning",
    "river",
    "library",
    "question",
    "evidence",
    "quietly",
    "measured",
    "winter",
    "students",
    "results",
    "improved",
    "network",
    "parallel",
    "ancient",
    "caf\xC3\xA9",
    "na\xC3\xAFve",
    "\xE2\x80\x9Cquoted\xE2\x80\x9D",
    "2024",
    "3.5",
    "&amp;",
    "&nbsp;",
};

class Writer {
  public:
    explicit Writer(qsizetype size) : m_random(20240531) { m_out.reserve(size + 65536); }

    QByteArray build(qsizetype size, double scriptShare) {
        head();
        m_out += "<body class=\"page home\" data-theme=\"light\">\n";
        navigation();
        // The page's data for its scripts comes last, as on sites that hydrate.
        const qsizetype dataBytes = static_cast<qsizetype>(static_cast<double>(size) * scriptShare);
        while (m_out.size() < size - dataBytes) {
            switch (m_random.bounded(10)) {
            case 0:
                table();
                break;
            case 1:
                inlineScript();
                break;
            case 2:
                list();
                break;
            case 3:
                form();
                break;
            default:
                article();
                break;
            }
        }
        pageData(size);
        m_out += "<footer><p>&copy; 2024 Example Press &middot; <a href=\"/privacy\">Privacy"
                 "</a></p></footer>\n<script src=\"/js/app.js\" defer></script>\n</body>\n"
                 "</html>\n";
        return m_out;
    }

    // One long story among what surrounds it on a news site: menus, related
    // lists, a sign-up form, comments and the scripts' data.
    QByteArray buildArticle(qsizetype size) {
        head();
        m_out += "<body class=\"article-page\">\n";
        navigation();
        m_out += "<main><article class=\"story\"><h1>" + words(9) +
                 "</h1>\n<div "
                 "class=\"story-body\">\n";
        const qsizetype storyEnd = m_out.size() + size / 2;
        while (m_out.size() < storyEnd) {
            m_out += "<p>";
            for (int s = 2 + m_random.bounded(5); s > 0; --s) {
                m_out += sentence();
            }
            m_out += "</p>\n";
        }
        m_out += "</div></article>\n";
        while (m_out.size() < size * 3 / 4) {
            list();
            form();
            inlineScript();
        }
        m_out += "</main>\n";
        pageData(size);
        m_out += "<footer><p>Example Press</p></footer>\n</body>\n</html>\n";
        return m_out;
    }

  private:
    QByteArray words(int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                text += ' ';
            }
            text += Words[m_random.bounded(int(std::size(Words)))];
        }
        return text;
    }

    QByteArray sentence() {
        QByteArray s = words(6 + m_random.bounded(14));
        s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
        const int style = m_random.bounded(6);
        if (style == 0) {
            s += " <a href=\"https://example.com/articles/" +
                 QByteArray::number(m_random.bounded(99999)) +
                 "?ref=home&amp;utm_source=feed\" class=\"inline-link\">" + words(3) + "</a>";
        } else if (style == 1) {
            s += " <em>" + words(2) + "</em>";
        } else if (style == 2) {
            s += " <strong class=\"hl\">" + words(3) + "</strong>";
        } else if (style == 3) {
            s += " <span class=\"note\" data-id=\"" + QByteArray::number(m_random.bounded(9999)) +
                 "\">" + words(4) + "</span>";
        }
        return s + ". ";
    }

    void head() {
        m_out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                 "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                 "<title>Example Press \xE2\x80\x94 Front page</title>\n";
        for (int i = 0; i < 12; ++i) {
            m_out +=
                "<link rel=\"stylesheet\" href=\"/css/part" + QByteArray::number(i) + ".css\">\n";
            m_out += "<meta property=\"og:tag" + QByteArray::number(i) + "\" content=\"" +
                     words(5) + "\">\n";
        }
        m_out += "<style>\n";
        for (int i = 0; i < 400; ++i) {
            m_out += ".c" + QByteArray::number(i) + " > .item:hover{color:#" +
                     QByteArray::number(0x100000 + m_random.bounded(0xEFFFFF), 16) +
                     ";margin:0 auto;padding:" + QByteArray::number(m_random.bounded(40)) + "px}\n";
        }
        m_out += "</style>\n<script>window.__STATE__ = {\"items\":[";
        for (int i = 0; i < 300; ++i) {
            m_out += "{\"id\":" + QByteArray::number(i) + ",\"title\":\"" + words(6) +
                     "\",\"html\":\"<p>\\u003cb\\u003e" + words(3) + "</p>\"},";
        }
        m_out += "{}]};\nif (a < b && c > d) { document.title = '</scr' + 'ipt>'; }\n</script>\n"
                 "</head>\n";
    }

    void pageData(qsizetype size) {
        m_out += "<script id=\"__DATA__\" type=\"application/json\">{\"props\":{\"stories\":[";
        while (m_out.size() < size) {
            m_out += "{\"id\":" + QByteArray::number(m_random.bounded(1000000)) +
                     ",\"headline\":\"" + words(8) + "\",\"summary\":\"" + words(30) +
                     "\",\"url\":\"https://example.com/story/" +
                     QByteArray::number(m_random.bounded(1000000)) +
                     "\",\"tags\":[\"news\",\"world\"],\"html\":\"\\u003cp\\u003e" + words(12) +
                     "\\u003c/p\\u003e\"},\n";
        }
        m_out += "{}]}}</script>\n";
    }

    void navigation() {
        m_out += "<header class=\"site\"><nav aria-label=\"Main\"><ul class=\"menu\">\n";
        for (int i = 0; i < 40; ++i) {
            m_out += "  <li class=\"menu-item\"><a href=\"/section/" + QByteArray::number(i) +
                     "\"><svg class=\"icon\" viewBox=\"0 0 24 24\" aria-hidden=\"true\">"
                     "<title>Section</title><path d=\"M12 2L2 7l10 5 10-5-10-5z\"/></svg>" +
                     words(2) + "</a></li>\n";
        }
        m_out += "</ul></nav>\n<div class=\"hidden-menu\" hidden><a href=\"/x\">skip</a></div>\n"
                 "</header>\n";
    }

    void article() {
        m_out += "<article class=\"story\" id=\"s" + QByteArray::number(m_random.bounded(1000000)) +
                 "\">\n  <h2 class=\"headline\"><a href=\"/story\">" + words(7) + "</a></h2>\n";
        m_out += "  <div class=\"byline\">By <span class=\"author\">" + words(2) +
                 "</span> &middot; <time datetime=\"2024-05-31\">May 31</time></div>\n";
        const int paragraphs = 2 + m_random.bounded(6);
        for (int p = 0; p < paragraphs; ++p) {
            m_out += "  <p>";
            const int sentences = 2 + m_random.bounded(6);
            for (int s = 0; s < sentences; ++s) {
                m_out += sentence();
            }
            m_out += "</p>\n";
        }
        if (m_random.bounded(3) == 0) {
            m_out += "  <figure><img src=\"/img/" + QByteArray::number(m_random.bounded(9999)) +
                     ".jpg\" alt=\"" + words(4) +
                     "\" width=\"640\" height=\"360\" loading=\"lazy\">"
                     "<figcaption>" +
                     words(8) + "</figcaption></figure>\n";
        }
        m_out += "  <!-- ad slot " + words(3) +
                 " -->\n  <div class=\"ad\" style=\"display:none\">"
                 "Advertisement</div>\n</article>\n";
    }

    void table() {
        m_out += "<table class=\"data\">\n<thead><tr><th>Name</th><th>Value</th><th>Change</th>"
                 "</tr></thead>\n<tbody>\n";
        const int rows = 5 + m_random.bounded(20);
        for (int r = 0; r < rows; ++r) {
            m_out += "  <tr><td>" + words(2) + "</td><td>" +
                     QByteArray::number(m_random.bounded(100000)) + "</td><td class=\"up\">+" +
                     QByteArray::number(m_random.bounded(100)) + "%</td></tr>\n";
        }
        m_out += "</tbody>\n</table>\n";
    }

    void inlineScript() {
        m_out += "<script type=\"text/javascript\">\n(function(){var "
                 "d=document,s=d.createElement('div');";
        for (int i = 0; i < 20; ++i) {
            m_out += "s.setAttribute('data-k" + QByteArray::number(i) + "','" + words(3) + "');";
        }
        m_out += "})();\n</script>\n";
    }

    void list() {
        m_out += "<aside class=\"related\"><h3>Related</h3><ol>\n";
        for (int i = 0; i < 8; ++i) {
            m_out += "  <li><a href=\"/r/" + QByteArray::number(m_random.bounded(99999)) + "\">" +
                     words(6) + "</a></li>\n";
        }
        m_out += "</ol></aside>\n";
    }

    void form() {
        m_out += "<form action=\"/subscribe\" method=\"post\"><label for=\"e\">Email</label> "
                 "<input id=\"e\" type=\"email\" name=\"email\" placeholder=\"you@example.com\">"
                 "<input type=\"hidden\" name=\"token\" value=\"abc123\">"
                 "<select name=\"freq\"><option>Daily</option><option>Weekly</option></select>"
                 "<button type=\"submit\">Subscribe</button></form>\n";
    }

    QRandomGenerator m_random;
    QByteArray m_out;
};

} // namespace

QByteArray samplePage(qsizetype approximateBytes, double scriptShare) {
    return Writer(approximateBytes).build(approximateBytes, scriptShare);
}

QByteArray sampleArticlePage(qsizetype approximateBytes) {
    return Writer(approximateBytes).buildArticle(approximateBytes);
}

} // namespace vt::bench
