#pragma once

#include <string>
#include <string_view>

namespace vt {

// Where a page's links lead, judged by their href against the page's own
// address: to a place on the page itself, to another page of the same site
// (a teaser, a menu entry), or elsewhere (a shop, a source, mail).
class SiteLinks {
  public:
    enum class Target { ThisPage, ThisSite, OtherSite };

    // pageAddress may be relative or empty; links with a host then all count
    // as the site's own.
    explicit SiteLinks(std::string_view pageAddress);

    Target targetOf(std::string_view href) const;

  private:
    std::string m_host; // lower case, without "www."
};

} // namespace vt
