#include "sources/HtmlParse.h"

#include "sources/LeanMarkup.h"
#include "sources/NestingLimit.h"

#include <array>
#include <cstdlib>
#include <gumbo.h>
#include <sys/mman.h>
#include <vector>

namespace vt {

// Size-class allocator for the parser. Freed blocks are reused; everything is
// released at once when the arena goes, so the tree is never walked to free it.
class ParseArena {
  public:
    ParseArena() = default;
    ParseArena(const ParseArena&) = delete;
    ParseArena& operator=(const ParseArena&) = delete;
    ~ParseArena() {
        for (void* chunk : m_chunks) {
            std::free(chunk);
        }
    }

    void* allocate(std::size_t size) {
        const std::size_t cls = classOf(size);
        Header* block = m_free[cls];
        if (block) {
            m_free[cls] = block->next;
        } else {
            block = static_cast<Header*>(carve(HeaderSize + classSize(cls)));
        }
        block->sizeClass = cls;
        return reinterpret_cast<char*>(block) + HeaderSize;
    }

    void release(void* pointer) {
        if (!pointer) {
            return;
        }
        auto* block = reinterpret_cast<Header*>(static_cast<char*>(pointer) - HeaderSize);
        const std::size_t cls = block->sizeClass;
        block->next = m_free[cls];
        m_free[cls] = block;
    }

  private:
    union Header {
        std::size_t sizeClass;
        Header* next;
        std::max_align_t align;
    };
    static constexpr std::size_t HeaderSize = sizeof(Header);
    static constexpr std::size_t Granule = 16;
    static constexpr std::size_t SmallClasses = 32; // up to 512 bytes in steps of 16
    static constexpr std::size_t ClassCount = SmallClasses + 48;
    static constexpr std::size_t ChunkSize = std::size_t(8) << 20;
    static constexpr std::size_t HugePage = std::size_t(2) << 20;

    static std::size_t classOf(std::size_t size) {
        if (size <= SmallClasses * Granule) {
            return size == 0 ? 0 : (size - 1) / Granule;
        }
        std::size_t cls = SmallClasses;
        std::size_t capacity = SmallClasses * Granule * 2;
        while (capacity < size) {
            capacity *= 2;
            ++cls;
        }
        return cls;
    }
    static std::size_t classSize(std::size_t cls) {
        if (cls < SmallClasses) {
            return (cls + 1) * Granule;
        }
        return (SmallClasses * Granule) << (cls - SmallClasses + 1);
    }

    void* carve(std::size_t bytes) {
        if (bytes > ChunkSize / 4) {
            void* big = std::malloc(bytes);
            if (!big) {
                std::abort(); // the parser cannot recover from a failed allocation
            }
            m_chunks.push_back(big);
            return big;
        }
        if (bytes > m_left) {
            m_next = static_cast<char*>(std::aligned_alloc(HugePage, ChunkSize));
            if (m_next) {
                madvise(m_next, ChunkSize, MADV_HUGEPAGE);
            }
            if (!m_next) {
                std::abort(); // the parser cannot recover from a failed allocation
            }
            m_chunks.push_back(m_next);
            m_left = ChunkSize;
        }
        void* block = m_next;
        m_next += bytes;
        m_left -= bytes;
        return block;
    }

    std::array<Header*, ClassCount> m_free{};
    std::vector<void*> m_chunks;
    char* m_next = nullptr;
    std::size_t m_left = 0;
};

namespace {

void* arenaAllocate(void* arena, std::size_t size) {
    return static_cast<ParseArena*>(arena)->allocate(size);
}

void arenaRelease(void* arena, void* pointer) {
    static_cast<ParseArena*>(arena)->release(pointer);
}

} // namespace

namespace {

// What the parser is given: the document without what cannot show, and with
// its nesting bounded.
QByteArray parserInput(QByteArray utf8, ParsedHtml::Input input) {
    if (input == ParsedHtml::Input::Lean) {
        if (std::optional<QByteArray> lean = leanMarkup(utf8)) {
            utf8 = std::move(*lean);
        }
    }
    return limitNesting(std::move(utf8));
}

} // namespace

ParsedHtml::ParsedHtml(QByteArray utf8, Input input)
    : m_source(parserInput(std::move(utf8), input)), m_arena(std::make_unique<ParseArena>()) {
    GumboOptions options = kGumboDefaultOptions;
    // Recording errors makes unclosed tags quadratic; we never read them.
    options.max_errors = 0;
    options.allocator = arenaAllocate;
    options.deallocator = arenaRelease;
    options.userdata = m_arena.get();
    m_output = gumbo_parse_with_options(&options, m_source.constData(),
                                        static_cast<std::size_t>(m_source.size()));
}

// No gumbo_destroy_output: it frees the tree recursively; the arena frees it all.
ParsedHtml::~ParsedHtml() = default;

const GumboInternalNode* ParsedHtml::documentElement() const {
    return m_output->root;
}

} // namespace vt
