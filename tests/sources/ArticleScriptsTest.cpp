// Articles written in Chinese and Japanese, whose paragraphs are short in
// characters and punctuated with full-width marks.
#include "ArticleChecks.h"
#include "support/html/HtmlText.h"

using vt::PageTexts;
using namespace vt::test;

namespace {

QByteArray paragraphs(const QStringList& texts) {
    QByteArray html;
    for (const QString& text : texts) {
        html += "<p>" + text.toUtf8() + "</p>\n";
    }
    return html;
}

void expectArticleOf(const QByteArray& html, const QString& title, const QStringList& article,
                     const QStringList& noise) {
    const PageTexts texts = articleTextsOf(html);
    EXPECT_TRUE(texts.article);
    EXPECT_EQ(texts.title, title);
    EXPECT_TRUE(texts.text.startsWith(title + QStringLiteral("\n\n"))) << texts.text.toStdString();
    expectPassagesInOrder(texts.text, article);
    expectPassagesAbsent(texts.text, noise);
    const QString whole = vt::renderedText(html);
    for (const QString& passage : noise) {
        EXPECT_TRUE(whole.contains(passage)) << passage.toStdString();
    }
}

// A personal blog: the post, then readers' comments written with half-width
// commas, as many type them.
TEST(ArticleScripts, ChineseBlogPostIsReadWithoutItsComments) {
    const QString title = QStringLiteral("周末去山里看红叶");
    const QStringList post = {
        QStringLiteral("上周六一早，我们一家三口开车去了城北的山里，想赶在降温之前看一次红叶。"),
        QStringLiteral(
            "山脚下的停车场八点就满了，我们只好停在两公里外的村子里，再坐景区的小巴上山。"),
        QStringLiteral("半山腰的枫树已经红了一大片，阳光一照，整个山坡像着了火一样。"),
        QStringLiteral("孩子高兴得又跑又跳，一路捡了好多叶子，说要带回去做书签。"),
        QStringLiteral(
            "中午我们在山顶的农家院吃了饭，炒鸡蛋、野菜饺子和玉米粥，价格不贵，味道也很地道。"),
        QStringLiteral(
            "下山的时候人更多了，台阶上挤得走不动，建议大家尽量选工作日去，或者早上七点前到。"),
        QStringLiteral("总的来说，这次出行很值得！明年秋天我们还会再来，也许换一条人少的小路。"),
    };
    const QStringList comments = {
        QStringLiteral(
            "写得真好,照片也拍得漂亮,请问小巴多少钱一位?我们下周也想去看看,不知道还来得及吗"),
        QStringLiteral("我们上个月去的,那时候叶子还是绿的,看来要再去一次了,谢谢楼主的攻略,很实用"),
        QStringLiteral("谢谢分享,收藏了,周末就带孩子去!希望天气好一点,上次去下雨,什么都没看到"),
        QStringLiteral(
            "农家院叫什么名字?求推荐,我们也想去吃饭,顺便问一下有没有停车的地方,人多不多"),
        QStringLiteral(
            "工作日也不少人,我周三去的,照样排队半小时,不过风景确实值,拍了好多照片,很满意"),
        QStringLiteral("好羡慕,我们这边没有红叶,只有银杏,不过也挺好看的,有机会一定去你说的地方"),
    };
    QByteArray thread;
    for (int i = 0; i < comments.size(); ++i) {
        thread += "<li class=\"comment-item\"><a class=\"name\" href=\"/u/" +
                  QByteArray::number(i) + "\">网友" + QByteArray::number(i + 1) +
                  "</a><span class=\"time\">2023-10-2" + QByteArray::number(i) + "</span><p>" +
                  comments[i].toUtf8() + "</p><a class=\"reply\" href=\"#reply\">回复</a></li>\n";
    }
    const QByteArray html =
        "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" +
        title.toUtf8() +
        " - 小林的博客</title></head><body>\n<div class=\"header\"><a href=\"/\">小林的博客</a>"
        "<ul class=\"menu\"><li><a href=\"/\">首页</a></li><li><a href=\"/travel\">旅行</a></li>"
        "<li><a href=\"/food\">美食</a></li><li><a href=\"/about\">关于我</a></li></ul></div>\n"
        "<div class=\"wrap\"><div class=\"main\"><div class=\"post\"><h1>" +
        title.toUtf8() + "</h1><div class=\"meta\">2023-10-18 · 旅行</div>\n" + paragraphs(post) +
        "</div>\n<div class=\"comments\"><h3>6 条评论</h3><ul class=\"comment-list\">\n" + thread +
        "</ul></div></div>\n<div class=\"side\"><h3>最新文章</h3><ul><li><a href=\"/p/2\">"
        "秋天的第一锅汤</a></li><li><a href=\"/p/3\">城南老街散步</a></li></ul></div></div>\n"
        "<div class=\"footer\">© 2023 小林的博客</div></body></html>\n";
    expectArticleOf(html, title, post,
                    {comments[0], comments[3], QStringLiteral("回复"),
                     QStringLiteral("秋天的第一锅汤"), QStringLiteral("关于我")});
}

// A news report of five short paragraphs beside lists of headlines.
TEST(ArticleScripts, ChineseNewsReportIsNotTooShortToBeAnArticle) {
    const QString title = QStringLiteral("城市地铁三号线今日开通运营");
    const QStringList report = {
        QStringLiteral("本报讯　经过四年建设，城市地铁三号线于今天上午九时正式开通运营。"),
        QStringLiteral("三号线全长二十六公里，共设车站十九座，连接火车站、大学城和新区。"),
        QStringLiteral("据运营公司介绍，开通初期列车最短间隔为六分钟，高峰时段将适当加密。"),
        QStringLiteral("首班车上的乘客大多是附近居民，不少人专门带着孩子来体验。"),
        QStringLiteral("一位老人说：“以前进城要换两次公交车，现在半个小时就到了。”"),
    };
    const QByteArray html =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title.toUtf8() +
        "_本地新闻_城市日报网</title></head><body>\n<div class=\"top-bar\"><a href=\"/\">首页"
        "</a> <a href=\"/local\">本地</a> <a href=\"/china\">国内</a> <a href=\"/world\">国际"
        "</a> <a href=\"/finance\">财经</a> <a href=\"/sports\">体育</a></div>\n"
        "<div class=\"container\"><div class=\"left\"><h1 class=\"title\">" +
        title.toUtf8() +
        "</h1><div class=\"info\">2024年06月28日 10:15　来源：城市日报　编辑：王芳</div>\n"
        "<div class=\"content\" id=\"artibody\">" +
        paragraphs(report) +
        "</div><div class=\"editor\">责任编辑：王芳</div></div>\n<div class=\"right\"><h3>"
        "热点新闻</h3><ul><li><a href=\"/n/1\">高温天气持续 市民注意防暑</a></li><li><a href="
        "\"/n/2\">新区两所学校九月招生</a></li><li><a href=\"/n/3\">老城区改造方案公布</a>"
        "</li><li><a href=\"/n/4\">周末全市多个公园举办音乐会</a></li></ul></div></div>\n"
        "<div class=\"copyright\">城市日报网 版权所有</div></body></html>\n";
    expectArticleOf(
        html, title, report,
        {QStringLiteral("高温天气持续"), QStringLiteral("版权所有"), QStringLiteral("财经")});
}

// A short story on a novel site: a sentence or a line of dialogue a paragraph.
TEST(ArticleScripts, JapaneseShortStoryIsReadAlone) {
    const QString title = QStringLiteral("雨の日の猫");
    const QStringList story = {
        QStringLiteral("朝から雨が降っていた。"),
        QStringLiteral("駅前の本屋の軒下に、灰色の猫が一匹、じっと座っていた。"),
        QStringLiteral("「お前も雨宿りか」と声をかけると、猫は片目だけ開けてこちらを見た。"),
        QStringLiteral("僕は鞄からパンを取り出し、半分にちぎって猫の前に置いた。"),
        QStringLiteral("猫はしばらく匂いをかいでいたが、やがて小さな口で食べ始めた。"),
        QStringLiteral("「明日も来るよ」"),
        QStringLiteral("そう言って歩き出した僕の後ろで、猫が一度だけ短く鳴いた。"),
    };
    QByteArray lines;
    for (int i = 0; i < story.size(); ++i) {
        lines += "<p id=\"L" + QByteArray::number(i + 1) + "\">" + story[i].toUtf8() + "</p>\n";
    }
    const QByteArray html =
        "<!DOCTYPE html><html lang=\"ja\"><head><meta charset=\"UTF-8\"><title>" + title.toUtf8() +
        "（短編） - 小説を読もう</title><meta property=\"og:title\" content=\"" + title.toUtf8() +
        "\"></head><body>\n<div id=\"novel_header\"><ul><li><a href="
        "\"/\">ホーム</a></li><li><a href=\"/ranking\">ランキング</a></li><li><a href=\"/login\">"
        "ログイン</a></li></ul></div>\n<div id=\"container\"><div class=\"contents1\"><a href="
        "\"/user/42\">作者：青木</a></div>\n<p class=\"novel_title\">" +
        title.toUtf8() + "</p>\n<div id=\"novel_honbun\" class=\"novel_view\">\n" + lines +
        "</div>\n<div class=\"novel_bn\"><a href=\"/n1/\">前へ</a> <a href=\"/n3/\">次へ</a>"
        "</div></div>\n<div id=\"novel_footer\"><ul><li><a href=\"/help\">ヘルプ</a></li><li>"
        "<a href=\"/rules\">利用規約</a></li></ul></div></body></html>\n";
    expectArticleOf(
        html, title, story,
        {QStringLiteral("ランキング"), QStringLiteral("次へ"), QStringLiteral("利用規約")});
}

} // namespace
