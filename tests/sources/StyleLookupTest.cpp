// What the style lookups keep per element: rules ruled out by an element's
// names alone, the cascade kept per element in tables per parent, and the
// tables themselves.

#include "QtPrinting.h"
#include "sources/style/ElementSlots.h"
#include "sources/style/NodeMap.h"
#include "support/html/HtmlText.h"

#include <gtest/gtest.h>
#include <gumbo.h>
#include <vector>

using vt::renderedTextOfUtf8;

namespace {

// Attribute names compare without regard to case: MathML's definitionURL is
// kept in its own case by the parser.
TEST(StyleLookup, AttributeNamesMatchWhateverTheirCase) {
    EXPECT_EQ(renderedTextOfUtf8("<style>[definitionurl]{display:none}</style>"
                                 "<p>a<math><mi definitionURL=\"x\">b</mi></math>c</p>"),
              "ac");
    EXPECT_EQ(renderedTextOfUtf8("<style>mi[DefinitionURL]{display:none}</style>"
                                 "<p>a<math><mi definitionURL=\"x\">b</mi></math>c</p>"),
              "ac");
    EXPECT_EQ(renderedTextOfUtf8("<style>p[DATA-X]{display:none}</style><p Data-X>a</p><p>b</p>"),
              "b");
}

// Among many rules of one bucket the one the element's names allow still
// applies, and a rule that is its bucket's name alone wins over it by specificity.
TEST(StyleLookup, OneRuleAmongManyOfABucketStillApplies) {
    QByteArray css;
    for (int i = 0; i < 300; ++i) {
        css += "p[data-n" + QByteArray::number(i) + "]{display:none}\n";
    }
    EXPECT_EQ(renderedTextOfUtf8("<style>" + css + "</style><p>a</p><p data-n7>b</p><p>c</p>"),
              "a\n\nc");
    EXPECT_EQ(
        renderedTextOfUtf8("<style>" + css + "#q{display:block}</style><p id=q data-n7>b</p>"),
        "b");
    EXPECT_EQ(renderedTextOfUtf8("<style>.x{display:none}" + css +
                                 "</style><p class=\"y x\">a</p><i class=x>b</i>c"),
              "c");
}

// Siblings deep in the tree and the ancestors their rules need, with more
// parents under way than the few kept at hand.
TEST(StyleLookup, ElementsDeepInTheTreeGetTheirOwnStyle) {
    QByteArray html = "<style>.k > b{display:none} .h i{display:none} u{display:none}</style>";
    for (int depth = 0; depth < 20; ++depth) {
        html += depth % 3 == 0 ? "<div class=k>" : "<div class=h>";
        html += "<b>B</b><i>I</i><s>" + QByteArray::number(depth) + "</s>";
    }
    html += "<u>U</u>";
    for (int depth = 0; depth < 20; ++depth) {
        html += "<s>e</s></div>";
    }
    const QString text = renderedTextOfUtf8(html);
    EXPECT_EQ(text.count('I'), 1); // only the outermost i has no div of class h above it
    EXPECT_FALSE(text.contains('U'));
    EXPECT_EQ(text.count('B'), 13); // not in the divs of class k: depths 0, 3, ..., 18
    for (int depth = 0; depth < 20; ++depth) {
        EXPECT_TRUE(text.contains(QString::number(depth)));
    }
    EXPECT_EQ(text.count('e'), 20);
}

GumboNode element(GumboNode* parent, unsigned index) {
    GumboNode node{};
    node.type = GUMBO_NODE_ELEMENT;
    node.parent = parent;
    node.index_within_parent = index;
    return node;
}

TEST(ElementSlots, EachElementHasASlotOfItsOwnThatKeepsItsValue) {
    // Twelve parents of five children each: more than are kept at hand.
    std::vector<GumboNode> parents(12);
    std::vector<std::vector<GumboNode>> children(parents.size());
    std::vector<std::vector<void*>> pointers(parents.size());
    for (std::size_t p = 0; p < parents.size(); ++p) {
        parents[p] = element(nullptr, 0);
        for (unsigned c = 0; c < 5; ++c) {
            children[p].push_back(element(&parents[p], c));
        }
        for (GumboNode& child : children[p]) {
            pointers[p].push_back(&child);
        }
        parents[p].v.element.children.data = pointers[p].data();
        parents[p].v.element.children.length = 5;
    }
    // One not among its parent's children, one without a parent.
    GumboNode stray = element(&parents[0], 3);
    GumboNode orphan = element(nullptr, 0);

    vt::css::ElementSlots table;
    std::uint32_t value = 1;
    for (int round = 0; round < 2; ++round) {
        for (std::size_t c = 0; c < 5; ++c) {
            for (std::size_t p = 0; p < parents.size(); ++p) {
                std::uint32_t& slot = table[&children[p][c]];
                if (round == 0) {
                    EXPECT_EQ(slot, 0u);
                    slot = value;
                }
                ++value;
            }
        }
        value = 1;
    }
    for (std::size_t c = 0; c < 5; ++c) {
        for (std::size_t p = 0; p < parents.size(); ++p) {
            EXPECT_EQ(table[&children[p][c]], value++);
        }
    }
    EXPECT_EQ(table[&stray], 0u);
    table[&stray] = 99;
    EXPECT_EQ(table[&orphan], 0u);
    table[&orphan] = 98;
    EXPECT_EQ(table[&stray], 99u);
    EXPECT_EQ(table[&orphan], 98u);
    EXPECT_EQ(table[&children[0][3]], 1u + 3 * parents.size());
    EXPECT_EQ(table[&parents[5]], 0u); // parents without a parent themselves
}

TEST(NodeMap, KeepsEveryKeyThroughGrowing) {
    std::vector<int> nodes(5000);
    vt::css::NodeMap<int> map;
    for (std::size_t i = 0; i < nodes.size(); i += 2) {
        const auto [value, isNew] = map.tryEmplace(&nodes[i]);
        EXPECT_TRUE(isNew);
        *value = static_cast<int>(i);
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const int* found = map.find(&nodes[i]);
        if (i % 2 == 0) {
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(*found, static_cast<int>(i));
            EXPECT_FALSE(map.tryEmplace(&nodes[i]).second);
        } else {
            EXPECT_EQ(found, nullptr);
        }
    }
}

} // namespace
