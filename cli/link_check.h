#pragma once

#include <filesystem>

namespace korvalis::cli {

// Whether names below one folder are symbolic links, each looked up from that folder rather
// than along its whole path: a listing asks it for every row.
class LinkCheck {
public:
    explicit LinkCheck(const std::filesystem::path& base);
    ~LinkCheck();
    LinkCheck(const LinkCheck&) = delete;
    LinkCheck& operator=(const LinkCheck&) = delete;
    // `relative` (below the base) is a link; false also when it cannot be looked at.
    [[nodiscard]] bool IsLink(const std::filesystem::path::string_type& relative) const;

private:
    int m_base = -1;
};

}  // namespace korvalis::cli
