#pragma once

#include <string_view>

namespace vt {

// One tag as the HTML tokenizer reads it, or the end of the input.
struct MarkupTag {
    enum class Kind { Start, End, EndOfInput };
    Kind kind = Kind::EndOfInput;
    const char* begin = nullptr; // its '<'
    const char* end = nullptr;   // just after its '>'
    std::string_view name;       // as written
    std::string_view attributes; // the source between the name and the end
    bool selfClosing = false;
    bool closesRawText = false; // the end tag of the raw text element before it
    // Character tokens in the data state since the previous tag: any that is
    // not NUL (which the tree builder ignores), any that is not a blank either.
    bool textBefore = false;
    bool wordBefore = false;
};

// Reads a UTF-8 HTML document tag by tag exactly as the HTML tokenizer
// splits it: comments, doctypes and bogus comments are stepped over, and
// after a start tag the caller says which content model its element has, as
// the tree builder would tell the tokenizer.
class MarkupScanner {
  public:
    MarkupScanner(const char* begin, const char* end) : m_p(begin), m_end(end) {}

    MarkupTag next();

    // The element just opened holds text up to its end tag (title, textarea,
    // style, xmp, iframe, noembed, noframes); name in lower case.
    void enterRawText(std::string_view lowerName);
    void enterScriptData();
    // Everything after is text.
    void enterPlaintext();

    const char* position() const { return m_p; }

  private:
    enum class State { Data, RawText, ScriptData, Plaintext };

    void noteText(const char* from, const char* to);
    MarkupTag readTag(const char* lt, MarkupTag::Kind kind);
    const char* skipPast(const char* from, char c) const;
    const char* declarationEnd(const char* lt) const;
    const char* commentEnd(const char* p) const;
    bool endTagAt(const char* p, std::string_view lowerName) const;
    bool startTagAt(const char* p, std::string_view lowerName) const;
    const char* rawTextEnd(const char* p) const;
    const char* scriptDataEnd(const char* p) const;

    const char* m_p;
    const char* m_end;
    State m_state = State::Data;
    std::string_view m_rawTextName;
    bool m_textBefore = false;
    bool m_wordBefore = false;
};

} // namespace vt
