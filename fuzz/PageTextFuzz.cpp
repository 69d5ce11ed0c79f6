// The page text path on arbitrary bytes: sniffing, decoding, the nesting
// limit, parsing and rendering must not crash, and the nesting limit must
// never change the text of a document whose tree is not deeper than it.
#include "sources/encoding/TextEncoding.h"
#include "sources/html/nesting/NestingLimit.h"
#include "sources/text/RenderedText.h"
#include "support/html/HtmlText.h"

#include <cstdio>
#include <cstdlib>
#include <gumbo.h>
#include <utility>
#include <vector>

namespace {

// A small limit, so the fuzzer meets documents deeper than it all the time.
constexpr int SmallLimit = 6;

// gumbo's parse of the document exactly as it is. Its memory is kept in a
// list and freed in one go (gumbo 0.10.1 loses some of it when it frees the
// tree itself).
struct Parsed {
    explicit Parsed(const QByteArray& utf8) {
        GumboOptions options = kGumboDefaultOptions;
        options.max_errors = 0;
        options.allocator = [](void* blocks, std::size_t size) {
            void* block = std::malloc(size);
            static_cast<std::vector<void*>*>(blocks)->push_back(block);
            return block;
        };
        options.deallocator = [](void*, void*) {};
        options.userdata = &blocks;
        output = gumbo_parse_with_options(&options, utf8.constData(),
                                          static_cast<std::size_t>(utf8.size()));
    }
    ~Parsed() {
        for (void* block : blocks) {
            std::free(block);
        }
    }
    Parsed(const Parsed&) = delete;
    Parsed& operator=(const Parsed&) = delete;
    std::vector<void*> blocks;
    GumboOutput* output;
};

// Elements inside body (or head) count from 1; html, head and body are 0.
int treeDepth(const GumboNode* root) {
    int deepest = 0;
    std::vector<std::pair<const GumboNode*, int>> stack{{root, -1}};
    while (!stack.empty()) {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) {
            continue;
        }
        deepest = std::max(deepest, depth);
        const GumboVector& children = node->v.element.children;
        for (unsigned i = 0; i < children.length; ++i) {
            stack.emplace_back(static_cast<const GumboNode*>(children.data[i]), depth + 1);
        }
    }
    return deepest;
}

[[noreturn]] void report(const char* what, const QByteArray& document, int depth, int limit) {
    std::fprintf(stderr, "%s (tree depth %d, limit %d)\n--- document:\n%s\n---\n", what, depth,
                 limit, document.constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)vt::renderedText(bytes); // the whole path, for crashes and sanitizer findings

    const QByteArray utf8 = vt::toUtf8Document(bytes, {});
    const Parsed plain(utf8);
    const int depth = treeDepth(plain.output->root);
    // Where the tree is not deeper than the limit, the document stays as it is.
    if (depth <= SmallLimit && vt::limitNesting(utf8, SmallLimit) != utf8) {
        report("the nesting limit changed a document within it", utf8, depth, SmallLimit);
    }
    // And with the real limit, the text is gumbo's on the document as it is.
    if (depth <= vt::MaxNestingDepth) {
        const QString expected = vt::renderedTextOf(plain.output->root);
        if (vt::renderedTextOfUtf8(utf8) != expected) {
            report("the text differs from the unlimited parse", utf8, depth, vt::MaxNestingDepth);
        }
    }
    return 0;
}
