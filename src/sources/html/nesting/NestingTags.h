#pragma once

#include <string_view>

// How the tree builder treats each HTML tag, as far as the nesting model
// needs to know; tags are GumboTag values (the parser's own names for them).
namespace vt::nesting {

enum Flag : unsigned {
    Special = 1u << 0,       // stops the search of "any other end tag"
    ClosesP = 1u << 1,       // its start tag closes an open p
    Heading = 1u << 2,       // h1 to h6
    FormattingTag = 1u << 3, // kept in the list of active formatting elements
    Void = 1u << 4,          // never open
    Reconstructs = 1u << 5,  // a void element that reconstructs formatting first
    Lost = 1u << 6,          // the model does not follow what it does
    HeadOnly = 1u << 7,      // handled as in the head: never open in the body
    Merged = 1u << 8,        // html, body, head: never opened again
    ClosedInScope = 1u << 9, // its end tag closes it when it is in scope
    Marker = 1u << 10,       // applet, marquee, object
    RawText = 1u << 11,      // holds text up to its end tag
};

unsigned flagsOf(int tag);
int tagOf(std::string_view name);
// The tag's name in lower case (static storage).
std::string_view nameOf(int tag);
// Closed by "generate implied end tags".
bool impliesEndTag(int tag);
// Attributes compared for the list of active formatting elements: the same
// source text is certainly the same set; only no attributes at all is
// certainly different from some.
std::string_view attributeKey(std::string_view attributes);

} // namespace vt::nesting
