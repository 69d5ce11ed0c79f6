// The comparison that decided between litehtml 0.6 (Debian's liblitehtml-dev)
// and our own style code: which display each computes for the cases the
// rendered text depends on, and how long each takes on the same pages.
// Built only with -DVT_BENCH_LITEHTML=ON; the program itself does not use
// litehtml.

#include "SamplePage.h"
#include "SampleStyleSheet.h"
#include "support/html/HtmlText.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <litehtml.h>
#include <vector>

namespace {

using namespace litehtml;

// Everything a litehtml document needs from its host; nothing is drawn.
struct Host : document_container {
    uint_ptr create_font(const tchar_t*, int, int, font_style, unsigned int,
                         font_metrics* fm) override {
        if (fm) {
            *fm = font_metrics();
        }
        return 1;
    }
    void delete_font(uint_ptr) override {}
    int text_width(const tchar_t* t, uint_ptr) override { return int(std::strlen(t)) * 8; }
    void draw_text(uint_ptr, const tchar_t*, uint_ptr, web_color, const position&) override {}
    int pt_to_px(int pt) const override { return pt; }
    int get_default_font_size() const override { return 16; }
    const tchar_t* get_default_font_name() const override { return "sans"; }
    void draw_list_marker(uint_ptr, const list_marker&) override {}
    void load_image(const tchar_t*, const tchar_t*, bool) override {}
    void get_image_size(const tchar_t*, const tchar_t*, size& sz) override {
        sz.width = sz.height = 0;
    }
    void draw_background(uint_ptr, const background_paint&) override {}
    void draw_borders(uint_ptr, const borders&, const position&, bool) override {}
    void set_caption(const tchar_t*) override {}
    void set_base_url(const tchar_t*) override {}
    void link(const std::shared_ptr<document>&, const element::ptr&) override {}
    void on_anchor_click(const tchar_t*, const element::ptr&) override {}
    void set_cursor(const tchar_t*) override {}
    void transform_text(tstring&, text_transform) override {}
    void import_css(tstring&, const tstring&, tstring&) override {}
    void set_clip(const position&, const border_radiuses&, bool, bool) override {}
    void del_clip() override {}
    void get_client_rect(position& c) const override { c = position(0, 0, 1280, 720); }
    std::shared_ptr<element> create_element(const tchar_t*, const string_map&,
                                            const std::shared_ptr<document>&) override {
        return nullptr;
    }
    void get_media_features(media_features& m) const override {
        m.type = media_type_screen;
        m.width = m.device_width = 1280;
        m.height = m.device_height = 720;
        m.color = 8;
        m.monochrome = 0;
        m.color_index = 256;
        m.resolution = 96;
    }
    void get_language(tstring& l, tstring& c) const override {
        l = "en";
        c = "";
    }
};

const char* const MasterSheet =
    "html,body,div,p,ul,li,section,nav,header,footer,article,h1,h2,h3{display:block}"
    "head,style,script,title{display:none} li{display:list-item} table{display:table}"
    "tr{display:table-row} td{display:table-cell}";

const char* displayName(style_display d) {
    static const char* const names[] = {
        "none",         "block",        "inline",          "inline-block",
        "inline-table", "list-item",    "table",           "table-caption",
        "table-cell",   "table-column", "table-col-group", "table-footer-group",
        "table-header", "table-row",    "table-row-group", "inline-text"};
    return names[d];
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    Host host;
    context ctx;
    ctx.load_master_stylesheet(MasterSheet);
    struct Case {
        const char* what; // with the display a browser gives #t
        const char* html;
    };
    const Case cases[] = {
        {"class rule (none)", "<style>.menu{display:none}</style><div class=menu id=t>m</div>"},
        {"#t beats .a (block)",
         "<style>#t{display:block} .a{display:none}</style><span class=a id=t>x</span>"},
        {"!important (none)",
         "<style>.a{display:none!important} #t{display:block}</style><span class=a id=t>x</span>"},
        {"h2 ~ p (none)", "<style>h2 ~ p{display:none}</style><h2>h</h2><div></div><p id=t>x</p>"},
        {"[lang|=en] (none)", "<style>[lang|=en]{display:none}</style><p lang=en-GB id=t>x</p>"},
        {"[a=b i] (none)", "<style>[data-x=\"ab\" i]{display:none}</style><p data-x=AB id=t>x</p>"},
        {"nth-child(2n+1) (none)",
         "<style>li:nth-child(2n+1){display:none}</style><ul><li id=t>a<li>b</ul>"},
        {":is() (none)",
         "<style>:is(.a,.b) p{display:none}</style><div class=b><p id=t>x</p></div>"},
        {":not() (none)", "<style>p:not(.a){display:none}</style><p id=t>x</p>"},
        {"@media (max-width:600px) (block)",
         "<style>@media (max-width:600px){p{display:none}}</style><p id=t>x</p>"},
        {"@media screen and (min-width:800px) (none)",
         "<style>@media screen and (min-width:800px){p{display:none}}</style><p id=t>x</p>"},
        {"display:flex (flex)", "<style>#t{display:flex}</style><div id=t>x</div>"},
        {"display:grid (grid)", "<style>#t{display:grid}</style><span id=t>x</span>"},
        {"display:contents (contents)", "<style>#t{display:contents}</style><div id=t>x</div>"},
        {"float:left span (block)", "<style>#t{float:left}</style><span id=t>x</span>"},
        {"position:absolute span (block)",
         "<style>#t{position:absolute}</style><span id=t>x</span>"},
        {"p:hover skipped (block)", "<style>p:hover{display:none}</style><p id=t>x</p>"},
    };
    std::printf("litehtml's display of #t (a browser's in brackets)\n");
    for (const Case& k : cases) {
        auto doc = document::createFromUTF8(k.html, &host, &ctx);
        auto element = doc->root()->select_one(tstring("#t"));
        std::printf("  %-44s -> %s\n", k.what, element ? displayName(element->get_display()) : "?");
    }

    const QByteArray base = vt::bench::samplePage(1 << 20);
    struct Page {
        const char* what;
        QByteArray html;
    };
    const Page pages[] = {
        {"1 MB sample page, no sheet", base},
        {"1 MB sample page + 3000 rules",
         vt::bench::withStyleSheet(base, vt::bench::sampleStyleSheet(3000))},
        {"5000 rules, 5000 elements", vt::bench::manyRulesPage(5000, 5000)},
    };
    std::printf("Processor time, medians of 3 alternated runs\n");
    for (const Page& page : pages) {
        std::vector<double> theirs;
        std::vector<double> ours;
        for (int run = 0; run < 3; ++run) {
            double start = cpuSeconds();
            { auto doc = document::createFromUTF8(page.html.constData(), &host, &ctx); }
            theirs.push_back(cpuSeconds() - start);
            start = cpuSeconds();
            (void)vt::renderedTextOfUtf8(page.html);
            ours.push_back(cpuSeconds() - start);
        }
        const double mb = double(page.html.size()) / (1024.0 * 1024.0);
        std::printf(
            "  %-32s litehtml styles %7.3f s (%6.2f MB/s)   our text %6.3f s (%6.2f MB/s)\n",
            page.what, median(theirs), mb / median(theirs), median(ours), mb / median(ours));
    }
    return 0;
}
