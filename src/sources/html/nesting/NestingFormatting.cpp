#include "sources/html/nesting/NestingModel.h"
#include "sources/html/nesting/NestingTags.h"

// The nesting model's list of active formatting elements, and what it tells
// about which open elements are there to stay.
namespace vt {

using namespace nesting;

void NestingModel::list(unsigned id) {
    ++m_listed[id];
    if (m_lowestListed < 0 && onStack(id)) {
        m_lowestListed = indexOf(id);
    }
}

void NestingModel::unlist(unsigned id) {
    if (--m_listed[id] == 0 && m_lowestListed >= 0 &&
        m_stack[static_cast<std::size_t>(m_lowestListed)].id == id) {
        findLowestListed(static_cast<std::size_t>(m_lowestListed));
    }
}

void NestingModel::eraseFormatting(std::size_t index) {
    const Formatting entry = m_formatting[index];
    m_formatting.erase(m_formatting.begin() + static_cast<std::ptrdiff_t>(index));
    if (entry.tag >= 0) {
        unlist(entry.id);
    }
}

// Nothing listed is below from, so the search goes up from there only.
void NestingModel::findLowestListed(std::size_t from) {
    m_lowestListed = -1;
    for (std::size_t i = from; i < m_stack.size(); ++i) {
        if (m_listed[m_stack[i].id] > 0) {
            m_lowestListed = static_cast<int>(i);
            return;
        }
    }
}

// The open elements that stay ancestors of what opens next whatever comes
// later: the adoption agency may take the non-special elements above a
// formatting element out of that line, but never a special one.
int NestingModel::fixedDepth() const {
    if (m_lowestListed < 0) {
        return depth();
    }
    const Open& lowest = m_stack[static_cast<std::size_t>(m_lowestListed)];
    return m_lowestListed + (m_specials - lowest.specialsBelow);
}

void NestingModel::reconstructFormatting() {
    if (m_formatting.empty()) {
        return;
    }
    std::size_t first = m_formatting.size();
    while (first > 0 && m_formatting[first - 1].tag >= 0 && !onStack(m_formatting[first - 1].id)) {
        --first;
    }
    for (std::size_t i = first; i < m_formatting.size(); ++i) {
        push(m_formatting[i].tag);
        unlist(m_formatting[i].id);
        m_formatting[i].id = m_stack.back().id;
        list(m_formatting[i].id);
    }
}

void NestingModel::clearFormattingToMarker() {
    while (!m_formatting.empty()) {
        const bool marker = m_formatting.back().tag < 0;
        eraseFormatting(m_formatting.size() - 1);
        if (marker) {
            return;
        }
    }
}

// Adds a formatting element, keeping at most three alike after the last marker.
void NestingModel::addFormatting(int tag, unsigned id, std::string_view attributes) {
    const std::string_view key = attributeKey(attributes);
    int alike = 0;
    int maybeAlike = 0;
    std::size_t earliest = 0;
    for (std::size_t i = m_formatting.size(); i-- > 0 && m_formatting[i].tag >= 0;) {
        const Formatting& entry = m_formatting[i];
        if (entry.tag != tag) {
            continue;
        }
        const std::string_view other = attributeKey(entry.attributes);
        if (other == key) {
            ++alike;
            earliest = i;
        } else if (!other.empty() && !key.empty()) {
            ++maybeAlike;
        }
    }
    if (maybeAlike > 0 && alike + maybeAlike >= 3) {
        m_lost = true; // whether they are alike decides which stays
    } else if (alike >= 3) {
        eraseFormatting(earliest);
    }
    m_formatting.push_back({tag, id, attributes});
    list(id);
}

int NestingModel::lastFormatting(int tag) const {
    for (std::size_t i = m_formatting.size(); i-- > 0 && m_formatting[i].tag >= 0;) {
        if (m_formatting[i].tag == tag) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace vt
