#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vt::css {

enum class Combinator : std::uint8_t { None, Descendant, Child, NextSibling, SubsequentSibling };

struct AttributeTest {
    enum class Op : std::uint8_t { Exists, Equals, Includes, DashMatch, Prefix, Suffix, Contains };
    std::string name; // lower case
    std::string value;
    Op op = Op::Exists;
    bool ignoreCase = false;
};

struct Compound;

// The structural pseudo-classes that do not depend on what the user does.
struct PseudoClass {
    enum class Kind : std::uint8_t {
        NthChild,
        NthLastChild,
        NthOfType,
        NthLastOfType,
        Root,
        Empty,
        Not,
        Is
    };
    Kind kind = Kind::Root;
    int a = 0; // :nth-child(an+b); :first-child is (0n+1), :first-of-type likewise
    int b = 0;
    std::vector<Compound> arguments; // of :not() and :is()
    // False for the second half of :only-child and :only-of-type, which
    // count once.
    bool counted = true;
};

// A compound selector: everything between two combinators.
struct Compound {
    std::string tag; // lower case; empty for any element
    std::string id;
    std::vector<std::string> classes;
    std::vector<AttributeTest> attributes;
    std::vector<PseudoClass> pseudoClasses;
    // How the compound to the left of this one relates to it.
    Combinator combinator = Combinator::None;
};

// The pseudo-elements that change the text: they may case it, or stand
// between its words.
enum class PseudoElement : std::uint8_t { None, FirstLine, FirstLetter, Before, After };

// A complex selector, its compounds from the rightmost (the subject) leftward.
struct ComplexSelector {
    std::vector<Compound> compounds;
    PseudoElement pseudoElement = PseudoElement::None; // what of the subject it selects
    std::uint32_t specificity = 0; // ids << 20 | classes << 10 | types, each capped
};

// Parses a selector list. Returns false when the list is invalid, so the
// whole rule is dropped, as browsers drop it. Selectors that can never apply
// to the text (with a pseudo-element other than a trailing ::first-line or
// ::first-letter, ::before or ::after, a pseudo-class that depends on the
// user or one not supported here) are valid but left out of `out`.
bool parseSelectorList(std::string_view text, std::vector<ComplexSelector>& out);

} // namespace vt::css
