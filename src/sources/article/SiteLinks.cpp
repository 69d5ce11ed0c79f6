#include "sources/article/SiteLinks.h"

#include "core/AsciiText.h"

namespace vt {

namespace {

// The scheme of an absolute address ("https"), "" for a relative one.
std::string_view schemeOf(std::string_view href) {
    for (std::size_t i = 0; i < href.size(); ++i) {
        const char c = href[i];
        if (c == ':') {
            return i > 0 ? href.substr(0, i) : std::string_view();
        }
        if (!ascii::isAlpha(c) &&
            !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))) {
            return {};
        }
    }
    return {};
}

// The host after "//", lower case and without "www."; "" when there is none.
std::string hostAfterSlashes(std::string_view rest) {
    if (!rest.starts_with("//")) {
        return {};
    }
    rest.remove_prefix(2);
    std::size_t end = 0;
    while (end < rest.size() && rest[end] != '/' && rest[end] != '?' && rest[end] != '#' &&
           rest[end] != '\\') {
        ++end;
    }
    std::string_view authority = rest.substr(0, end);
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (const auto colon = authority.find(':'); colon != std::string_view::npos) {
        authority = authority.substr(0, colon);
    }
    std::string host;
    host.reserve(authority.size());
    for (const char c : authority) {
        host += ascii::lower(c);
    }
    if (host.starts_with("www.")) {
        host.erase(0, 4);
    }
    return host;
}

// "news.example.com" and "example.com" are one site.
bool sameSite(std::string_view a, std::string_view b) {
    if (a.size() < b.size()) {
        std::swap(a, b);
    }
    return a == b || (a.ends_with(b) && a[a.size() - b.size() - 1] == '.');
}

} // namespace

SiteLinks::SiteLinks(std::string_view pageAddress) {
    const std::string_view address = ascii::trimmed(pageAddress);
    const std::string_view scheme = schemeOf(address);
    m_host = hostAfterSlashes(scheme.empty() ? address : address.substr(scheme.size() + 1));
}

SiteLinks::Target SiteLinks::targetOf(std::string_view href) const {
    href = ascii::trimmed(href);
    if (href.empty() || href.front() == '#') {
        return Target::ThisPage;
    }
    const std::string_view scheme = schemeOf(href);
    std::string_view rest = href;
    if (!scheme.empty()) {
        if (ascii::equalsNoCase(scheme, "javascript")) {
            return Target::ThisPage;
        }
        if (!ascii::equalsNoCase(scheme, "http") && !ascii::equalsNoCase(scheme, "https")) {
            return Target::OtherSite; // mail, phone, another program
        }
        rest.remove_prefix(scheme.size() + 1);
    }
    const std::string host = hostAfterSlashes(rest);
    if (host.empty() || m_host.empty()) {
        return Target::ThisSite;
    }
    return sameSite(host, m_host) ? Target::ThisSite : Target::OtherSite;
}

} // namespace vt
