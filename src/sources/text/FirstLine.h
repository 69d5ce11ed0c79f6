#pragma once

#include "sources/style/ElementStyle.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace vt {

// The casing of a block's first line and first letter (::first-line and
// ::first-letter) during a document walk. Without a layout the first line is
// the text up to the first forced break: a br, a preserved line feed, the
// start or end of a block after some text, or an atomic inline (an image, a
// button), after which a browser no longer cases the line. A block that
// starts before any text continues the first line of its container; a list
// item's marker takes its first line. Out-of-flow boxes are set aside.
class FirstLine {
  public:
    struct State {
        std::optional<TextTransform> line;
        std::optional<TextTransform> letter; // while the letter is still to come
        std::size_t start = 0;               // stack depth of the block that began it
        bool active = false;
        bool content = false; // some text is on the line already
    };

    // A piece of a text node and the casing that replaces the inherited one
    // (unset: the inherited one stays).
    struct Piece {
        std::string_view text;
        std::optional<TextTransform> transform;
    };

    bool active() const { return m_state.active; }

    // A block container is entered at stack depth `depth`.
    void enterBlock(std::size_t depth, const FirstLineStyle& style, bool listItem);
    // A block container at `depth` is left.
    void leaveBlock(std::size_t depth);
    // A forced break, an atomic inline or a box that is not a block container.
    void end() { m_state = {}; }
    // An out-of-flow box is entered: what it interrupts, to resume after it.
    State suspend();
    void resume(const State& state) { m_state = state; }

    // Splits a text node's text into the first letter, the rest of the first
    // line and what follows. `ownTransform`: an element inside the block sets
    // text-transform itself, which the first line does not override.
    void split(std::string_view utf8, bool preservesBreaks, bool ownTransform,
               std::vector<Piece>& out);

  private:
    State m_state;
};

} // namespace vt
