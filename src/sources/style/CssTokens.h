#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vt::css {

// The tokens of CSS syntax, as far as the structure of a sheet depends on
// them. Numbers, percentages and dimensions are one kind; comments are
// dropped.
enum class TokenType : std::uint8_t {
    Whitespace,
    Ident,
    Function, // name followed by '('; opens a block closed by ')'
    AtKeyword,
    Hash,
    String,
    BadString,
    Url,
    BadUrl,
    Numeric,
    Delim,
    Cdo, // <!--
    Cdc, // -->
    Colon,
    Semicolon,
    Comma,
    OpenSquare,
    OpenParen,
    OpenCurly,
    CloseSquare,
    CloseParen,
    CloseCurly,
    StrayClose, // a closing bracket that closes no open block
};

struct Token {
    TokenType type;
    std::uint32_t start; // byte offsets into the text
    std::uint32_t end;
    // For a token that opens a block: the index of the token that closes it,
    // or the token count when the block runs to the end of the text.
    std::uint32_t match = 0;
};

// Splits the text into tokens, in one pass, and pairs the brackets the way
// a block is consumed: a closing bracket closes the innermost open block
// when it is of its kind and is a plain token otherwise.
std::vector<Token> tokenize(std::string_view text);

inline bool opensBlock(TokenType type) {
    return type == TokenType::Function || type == TokenType::OpenSquare ||
           type == TokenType::OpenParen || type == TokenType::OpenCurly;
}

// The index after the component value that starts at token `i`.
inline std::size_t afterComponent(const std::vector<Token>& tokens, std::size_t i) {
    if (opensBlock(tokens[i].type)) {
        return tokens[i].match >= tokens.size() ? tokens.size() : tokens[i].match + 1;
    }
    return i + 1;
}

} // namespace vt::css
