#include "sources/style/MediaQuery.h"

#include "sources/style/CssText.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace vt::css {

namespace {

constexpr double ScreenWidth = 1280;
constexpr double ScreenHeight = 720;

struct Token {
    enum Kind { Word, Number, Open, Close, Colon, Compare, Slash, Other } kind;
    std::string text; // words lower case; numbers with their unit lower case
    double number = 0;
};

std::vector<Token> tokens(std::string_view text) {
    std::vector<Token> out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (ascii::isSpace(c)) {
            ++i;
        } else if (c == '(' || c == ')' || c == ':' || c == '/') {
            out.push_back({c == '('   ? Token::Open
                           : c == ')' ? Token::Close
                           : c == ':' ? Token::Colon
                                      : Token::Slash,
                           std::string(1, c)});
            ++i;
        } else if (c == '<' || c == '>' || c == '=') {
            std::string op(1, c);
            if (c != '=' && i + 1 < text.size() && text[i + 1] == '=') {
                op.push_back('=');
            }
            i += op.size();
            out.push_back({Token::Compare, op});
        } else if ((c >= '0' && c <= '9') || c == '.' ||
                   ((c == '-' || c == '+') && i + 1 < text.size() &&
                    ((text[i + 1] >= '0' && text[i + 1] <= '9') || text[i + 1] == '.'))) {
            const std::string rest(text.substr(i, 40));
            char* end = nullptr;
            const double value = std::strtod(rest.c_str(), &end);
            std::size_t used = static_cast<std::size_t>(end - rest.c_str());
            if (used == 0) {
                used = 1;
            }
            i += used;
            std::string unit;
            while (i < text.size() && (isNameChar(text[i]) || text[i] == '%')) {
                unit.push_back(ascii::lower(text[i++]));
            }
            out.push_back({Token::Number, unit, value});
        } else if (isNameChar(c)) {
            std::string word;
            while (i < text.size() && isNameChar(text[i])) {
                word.push_back(ascii::lower(text[i++]));
            }
            out.push_back({Token::Word, word});
        } else {
            out.push_back({Token::Other, std::string(1, c)});
            ++i;
        }
    }
    return out;
}

// A length in px, a resolution in dppx, or a plain number; nullopt when the
// unit is not one of those.
std::optional<double> valueOf(const Token& token) {
    if (token.kind != Token::Number) {
        return std::nullopt;
    }
    const std::string& unit = token.text;
    const double n = token.number;
    if (unit.empty() || unit == "px" || unit == "dppx" || unit == "x") {
        return n;
    }
    if (unit == "em" || unit == "rem") {
        return n * 16;
    }
    if (unit == "pt") {
        return n * 96 / 72;
    }
    if (unit == "pc") {
        return n * 16;
    }
    if (unit == "in") {
        return n * 96;
    }
    if (unit == "cm") {
        return n * 96 / 2.54;
    }
    if (unit == "mm") {
        return n * 96 / 25.4;
    }
    if (unit == "q") {
        return n * 96 / 101.6;
    }
    if (unit == "dpi") {
        return n / 96;
    }
    if (unit == "dpcm") {
        return n * 2.54 / 96;
    }
    return std::nullopt;
}

// The screen's value of a numeric feature.
std::optional<double> featureValue(std::string_view name) {
    if (name == "width" || name == "device-width") {
        return ScreenWidth;
    }
    if (name == "height" || name == "device-height") {
        return ScreenHeight;
    }
    if (name == "aspect-ratio" || name == "device-aspect-ratio") {
        return ScreenWidth / ScreenHeight;
    }
    if (name == "color") {
        return 8;
    }
    if (name == "color-index" || name == "monochrome" || name == "grid") {
        return 0;
    }
    if (name == "resolution" || name == "-webkit-device-pixel-ratio" ||
        name == "device-pixel-ratio") {
        return 1;
    }
    return std::nullopt;
}

// The screen's value of a feature given by a keyword.
bool keywordFeature(std::string_view name, std::string_view value) {
    if (name == "orientation") {
        return value == "landscape";
    }
    if (name == "hover" || name == "any-hover") {
        return value == "hover";
    }
    if (name == "pointer" || name == "any-pointer") {
        return value == "fine";
    }
    if (name == "prefers-color-scheme") {
        return value == "light";
    }
    if (name == "prefers-reduced-motion" || name == "prefers-reduced-transparency" ||
        name == "prefers-contrast" || name == "prefers-reduced-data") {
        return value == "no-preference";
    }
    if (name == "scripting") {
        return value == "enabled";
    }
    if (name == "display-mode") {
        return value == "browser";
    }
    if (name == "forced-colors" || name == "inverted-colors") {
        return value == "none";
    }
    if (name == "update") {
        return value == "fast";
    }
    if (name == "overflow-block" || name == "overflow-inline") {
        return value == "scroll";
    }
    if (name == "color-gamut") {
        return value == "srgb";
    }
    if (name == "dynamic-range" || name == "video-dynamic-range") {
        return value == "standard";
    }
    return false;
}

bool compare(double left, std::string_view op, double right) {
    constexpr double Epsilon = 1e-6;
    if (op == "<") {
        return left < right - Epsilon;
    }
    if (op == "<=") {
        return left <= right + Epsilon;
    }
    if (op == ">") {
        return left > right + Epsilon;
    }
    if (op == ">=") {
        return left >= right - Epsilon;
    }
    return std::abs(left - right) <= Epsilon; // "="
}

std::string_view flipped(std::string_view op) {
    if (op == "<") {
        return ">";
    }
    if (op == "<=") {
        return ">=";
    }
    if (op == ">") {
        return "<";
    }
    if (op == ">=") {
        return "<=";
    }
    return op;
}

// A value token, with a ratio "a / b" folded into one number.
std::optional<double> readValue(const std::vector<Token>& t, std::size_t& i, std::size_t end) {
    if (i >= end) {
        return std::nullopt;
    }
    auto value = valueOf(t[i]);
    ++i;
    if (value && i + 1 < end && t[i].kind == Token::Slash) {
        const auto divisor = valueOf(t[i + 1]);
        if (!divisor || *divisor == 0) {
            return std::nullopt;
        }
        value = *value / *divisor;
        i += 2;
    }
    return value;
}

// The inside of one parenthesised feature test, tokens [begin, end).
bool featureMatches(const std::vector<Token>& t, std::size_t begin, std::size_t end) {
    if (begin >= end) {
        return false;
    }
    if (t[begin].kind == Token::Word && (begin + 1 == end || t[begin + 1].kind == Token::Colon)) {
        std::string name = t[begin].text;
        if (begin + 1 == end) { // boolean context
            const auto value = featureValue(name);
            if (value) {
                return *value != 0;
            }
            return name == "hover" || name == "any-hover" || name == "pointer" ||
                   name == "any-pointer" || name == "scripting" || name == "update" ||
                   name == "orientation";
        }
        std::string_view op = "=";
        if (name.rfind("min-", 0) == 0 || name.rfind("max-", 0) == 0) {
            op = name[1] == 'i' ? ">=" : "<=";
            name = name.substr(4);
        } else if (name.rfind("-webkit-min-", 0) == 0 || name.rfind("-webkit-max-", 0) == 0) {
            op = name[9] == 'i' ? ">=" : "<=";
            name = "-webkit-" + name.substr(12);
        }
        std::size_t i = begin + 2;
        if (i < end && t[i].kind == Token::Word) {
            return i + 1 == end && op == "=" && keywordFeature(name, t[i].text);
        }
        const auto screen = featureValue(name);
        const auto given = readValue(t, i, end);
        return screen && given && i == end && compare(*screen, op, *given);
    }
    // Range form: "width >= 600px", "600px < width", "400px <= width <= 700px".
    std::size_t i = begin;
    std::optional<double> lower;
    std::string_view lowerOp;
    if (t[i].kind != Token::Word) {
        lower = readValue(t, i, end);
        if (!lower || i >= end || t[i].kind != Token::Compare) {
            return false;
        }
        lowerOp = t[i++].text;
    }
    if (i >= end || t[i].kind != Token::Word) {
        return false;
    }
    const auto screen = featureValue(t[i++].text);
    if (!screen) {
        return false;
    }
    bool result = !lower || compare(*screen, flipped(lowerOp), *lower);
    if (i < end) {
        if (t[i].kind != Token::Compare) {
            return false;
        }
        const std::string_view op = t[i++].text;
        const auto upper = readValue(t, i, end);
        if (!upper || i != end) {
            return false;
        }
        result = result && compare(*screen, op, *upper);
    }
    return result;
}

// A condition: terms joined by "and" / "or", each "not"-able, where a term
// is a parenthesised feature or a parenthesised condition. Nesting is
// bounded by the depth argument.
bool condition(const std::vector<Token>& t, std::size_t& i, std::size_t end, int depth);

bool term(const std::vector<Token>& t, std::size_t& i, std::size_t end, int depth) {
    if (depth > 32) {
        i = end;
        return false;
    }
    if (i < end && t[i].kind == Token::Word && t[i].text == "not") {
        ++i;
        return !term(t, i, end, depth + 1);
    }
    if (i >= end || t[i].kind != Token::Open) {
        i = end;
        return false;
    }
    // Find the matching parenthesis.
    std::size_t close = i + 1;
    int level = 1;
    for (; close < end; ++close) {
        if (t[close].kind == Token::Open) {
            ++level;
        } else if (t[close].kind == Token::Close && --level == 0) {
            break;
        }
    }
    const std::size_t inner = i + 1;
    i = close < end ? close + 1 : end;
    if (inner < close && t[inner].kind == Token::Open) {
        std::size_t k = inner;
        const bool value = condition(t, k, close, depth + 1);
        return k == close && value;
    }
    if (inner < close && t[inner].kind == Token::Word && t[inner].text == "not") {
        std::size_t k = inner;
        const bool value = condition(t, k, close, depth + 1);
        return k == close && value;
    }
    return featureMatches(t, inner, close);
}

bool condition(const std::vector<Token>& t, std::size_t& i, std::size_t end, int depth) {
    bool result = term(t, i, end, depth);
    while (i < end && t[i].kind == Token::Word && (t[i].text == "and" || t[i].text == "or")) {
        const bool isAnd = t[i++].text == "and";
        const bool next = term(t, i, end, depth);
        result = isAnd ? result && next : result || next;
    }
    return result;
}

bool queryMatches(const std::vector<Token>& t, std::size_t begin, std::size_t end) {
    if (begin == end) {
        return false; // an empty query in a list is invalid
    }
    std::size_t i = begin;
    if (t[i].kind == Token::Open || (t[i].kind == Token::Word && t[i].text == "not" &&
                                     i + 1 < end && t[i + 1].kind == Token::Open)) {
        const bool value = condition(t, i, end, 0);
        return i == end && value;
    }
    bool negated = false;
    if (t[i].kind == Token::Word && (t[i].text == "not" || t[i].text == "only")) {
        negated = t[i].text == "not";
        ++i;
    }
    if (i >= end || t[i].kind != Token::Word) {
        return false;
    }
    const std::string& type = t[i++].text;
    bool matches = type == "all" || type == "screen";
    if (type != "all" && type != "screen" && type != "print" && type != "speech" && type != "tty" &&
        type != "tv" && type != "projection" && type != "handheld" && type != "braille" &&
        type != "embossed" && type != "aural") {
        return false; // unknown types never match, even negated
    }
    if (i < end) {
        if (t[i].kind != Token::Word || t[i].text != "and") {
            return false;
        }
        ++i;
        const bool value = condition(t, i, end, 0);
        if (i != end) {
            return false;
        }
        matches = matches && value;
    }
    return negated ? !matches : matches;
}

} // namespace

bool mediaMatches(std::string_view queryList) {
    if (ascii::trimmed(queryList).empty()) {
        return true;
    }
    const std::vector<Token> t = tokens(queryList);
    // Split at commas outside parentheses.
    std::size_t start = 0;
    int level = 0;
    for (std::size_t i = 0; i <= t.size(); ++i) {
        const bool atEnd = i == t.size();
        if (!atEnd) {
            if (t[i].kind == Token::Open) {
                ++level;
            } else if (t[i].kind == Token::Close) {
                --level;
            }
        }
        if (atEnd || (level == 0 && t[i].kind == Token::Other && t[i].text == ",")) {
            if (queryMatches(t, start, i)) {
                return true;
            }
            start = i + 1;
        }
    }
    return false;
}

} // namespace vt::css
