#pragma once

#include <QString>
#include <string>

struct GumboInternalNode;

namespace vt {

// What a page says about itself in its head: white space simplified, "" when
// absent. Each is the first in document order, wherever the parser put it
// (markup before <head> moves the head's elements into the body).
struct PageHead {
    QString title;          // <title>
    QString openGraphTitle; // meta og:title
    QString description;    // meta og:description, else meta name="description"
    std::string address;    // link rel=canonical, else meta og:url, else base href
};

PageHead readPageHead(const GumboInternalNode* documentElement);

} // namespace vt
