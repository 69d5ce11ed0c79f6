#include "sources/html/HtmlParse.h"

#include "core/Failure.h"
#include "sources/html/nesting/NestingLimit.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdlib>
#include <gumbo.h>
#include <sys/mman.h>
#include <vector>

namespace vt {

// Size-class allocator for the parser. Freed blocks are reused; everything is
// released at once when the arena goes, so the tree is never walked to free it.
class ParseArena {
  public:
    enum class Stop { No, Cancelled, TooBig };

    ParseArena(const std::atomic_bool* cancel, std::size_t maxMemory)
        : m_cancel(cancel), m_maxMemory(maxMemory) {}
    ParseArena(const ParseArena&) = delete;
    ParseArena& operator=(const ParseArena&) = delete;
    ~ParseArena() {
        for (void* chunk : m_chunks) {
            std::free(chunk);
        }
    }

    // Where the parse is abandoned; set for the length of one parse. The
    // parser is plain C whose every byte comes from here, so leaving it by
    // longjmp skips no destructor and leaks nothing.
    void setEscape(std::jmp_buf* escape) { m_escape = escape; }
    Stop stopped() const { return m_stop; }

    void* allocate(std::size_t size) {
        if (m_cancel && (++m_calls % CancelCheckInterval) == 0 && m_cancel->load()) {
            escape(Stop::Cancelled);
        }
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

    [[noreturn]] void escape(Stop why) {
        m_stop = why;
        std::longjmp(*m_escape, 1);
    }

    void account(std::size_t bytes) {
        m_used += bytes;
        if (m_used > m_maxMemory && m_escape) {
            escape(Stop::TooBig);
        }
    }

    void* carve(std::size_t bytes) {
        if (bytes > ChunkSize / 4) {
            account(bytes);
            void* big = std::malloc(bytes);
            if (!big) {
                std::abort(); // the parser cannot recover from a failed allocation
            }
            m_chunks.push_back(big);
            return big;
        }
        if (bytes > m_left) {
            // Small pages get small chunks; big ones soon get huge pages.
            const std::size_t size = std::max(m_chunkSize, bytes);
            m_chunkSize = std::min(m_chunkSize * 2, ChunkSize);
            account(size);
            m_next = static_cast<char*>(size >= HugePage ? std::aligned_alloc(HugePage, size)
                                                         : std::malloc(size));
            if (!m_next) {
                std::abort(); // the parser cannot recover from a failed allocation
            }
            if (size >= HugePage) {
                madvise(m_next, size, MADV_HUGEPAGE);
            }
            m_chunks.push_back(m_next);
            m_left = size;
        }
        void* block = m_next;
        m_next += bytes;
        m_left -= bytes;
        return block;
    }

    static constexpr unsigned CancelCheckInterval = 256;

    const std::atomic_bool* m_cancel;
    std::size_t m_maxMemory;
    std::size_t m_used = 0;
    std::size_t m_chunkSize = std::size_t(64) << 10;
    unsigned m_calls = 0;
    std::jmp_buf* m_escape = nullptr;
    Stop m_stop = Stop::No;
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

// Runs the parser where the arena can abandon it. Nothing here has a
// destructor, so the jump back skips none.
GumboOutput* parseOrStop(const GumboOptions* options, const QByteArray& source, ParseArena* arena) {
    std::jmp_buf escape;
    arena->setEscape(&escape);
    if (setjmp(escape) != 0) {
        return nullptr;
    }
    GumboOutput* output = gumbo_parse_with_options(options, source.constData(),
                                                   static_cast<std::size_t>(source.size()));
    arena->setEscape(nullptr);
    return output;
}

} // namespace

ParsedHtml::ParsedHtml(QByteArray utf8, const std::atomic_bool* cancel, std::size_t maxMemory)
    : m_source(limitNesting(std::move(utf8))),
      m_arena(std::make_unique<ParseArena>(cancel, maxMemory)) {
    GumboOptions options = kGumboDefaultOptions;
    // Recording errors makes unclosed tags quadratic; we never read them.
    options.max_errors = 0;
    options.allocator = arenaAllocate;
    options.deallocator = arenaRelease;
    options.userdata = m_arena.get();
    m_output = parseOrStop(&options, m_source, m_arena.get());
    if (!m_output) {
        if (m_arena->stopped() == ParseArena::Stop::Cancelled) {
            throw Failure(QStringLiteral("making its text was stopped"));
        }
        throw Failure(
            QStringLiteral("its markup needs more than %1 MB to read").arg(maxMemory >> 20));
    }
}

// No gumbo_destroy_output: it frees the tree recursively; the arena frees it all.
ParsedHtml::~ParsedHtml() = default;

const GumboInternalNode* ParsedHtml::documentElement() const {
    return m_output->root;
}

} // namespace vt
