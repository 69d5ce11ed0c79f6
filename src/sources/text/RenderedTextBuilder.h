#pragma once

#include "sources/style/ElementStyle.h"

#include <string>
#include <string_view>

namespace vt {

// Collects the rendered text of a document walk, doing the CSS white-space
// processing across element boundaries and the required line breaks of the
// innerText rules: runs of breaks become as many line feeds as the largest of
// them asks for, and breaks at the start or end vanish. Works on UTF-8; all
// the white space it handles is ASCII.
class RenderedTextBuilder {
  public:
    // Text of a text node, processed as its white-space and text-transform
    // properties say. Text that is not visible emits nothing but still takes
    // part in collapsing. Case mapping follows the language (a lang value).
    void text(std::string_view utf8, WhiteSpace whiteSpace, bool visible,
              TextTransform transform = TextTransform::None, std::string_view language = {});
    // Where a line starts or ends (edges of blocks and table cells): collapsible
    // spaces next to it disappear.
    void lineBoundary();
    // A required line break count from a block (1) or a p element (2).
    void requiredBreak(int count);
    // A string of its own: the line feed of br, the tab after a table cell,
    // the line feed after a table row.
    void literal(char c, bool visible);
    // An inline object without text (an image, an input field).
    void inlineObject();
    // Edges of an inline box with its own lines (a button).
    void beginInlineBlock();
    void endInlineBlock();

    // The text so far, as UTF-8.
    const std::string& result() const { return m_out; }
    std::string takeResult() { return std::move(m_out); }

  private:
    void processed(std::string_view utf8, WhiteSpace whiteSpace, bool visible);
    void collapse(std::string_view utf8, bool visible);
    void emitPendingSpace();
    void beginContent();

    std::string m_out;
    int m_pendingBreaks = 0;
    bool m_atLineStart = true;
    bool m_pendingSpace = false;
    bool m_pendingSpaceVisible = false;
    bool m_inWord = false; // the last text ended inside a word (for capitalize)
};

} // namespace vt
