#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/link_check.h"

namespace korvalis::cli {

LinkCheck::LinkCheck(const std::filesystem::path& base)
    : m_base(::open(base.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC))
{
}

LinkCheck::~LinkCheck()
{
    if (m_base >= 0) ::close(m_base);
}

bool LinkCheck::IsLink(const std::filesystem::path::string_type& relative) const
{
    struct stat info {};
    return m_base >= 0 && ::fstatat(m_base, relative.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISLNK(info.st_mode);
}

}  // namespace korvalis::cli
