#include "files/posix/CopyAccess.h"

#include <cerrno>
#include <string>
#include <vector>

#include <sys/xattr.h>
#include <unistd.h>

namespace
{
// The names of a file's extended attributes, NUL-separated; false with errno set on failure.
bool ListAttributes(int fd, std::string& names)
{
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
        {
            // A file system without extended attributes has none to keep.
            if (errno == ENOTSUP)
            {
                names.clear();
                return true;
            }
            return false;
        }
        names.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::flistxattr(fd, names.data(), names.size());
        if (got >= 0)
        {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE)
        {
            return false;
        }
    }
    return false;
}

std::vector<std::string> SplitNames(const std::string& names)
{
    std::vector<std::string> list;
    for (std::size_t start = 0; start < names.size();)
    {
        const std::size_t end = names.find('\0', start);
        list.push_back(names.substr(start, end - start));
        start = end == std::string::npos ? names.size() : end + 1;
    }
    return list;
}

bool ReadAttribute(int fd, const std::string& name, std::string& value)
{
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        const ssize_t size = ::fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0)
        {
            return false;
        }
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::fgetxattr(fd, name.c_str(), value.data(), value.size());
        if (got >= 0)
        {
            value.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE)
        {
            return false;
        }
    }
    return false;
}

bool CopyAttributes(int oldFd, int newFd)
{
    std::string oldNames;
    std::string newNames;
    if (!ListAttributes(oldFd, oldNames) || !ListAttributes(newFd, newNames))
    {
        return false;
    }
    const std::vector<std::string> keep = SplitNames(oldNames);
    for (const std::string& name : SplitNames(newNames))
    {
        bool inOld = false;
        for (const std::string& kept : keep)
        {
            inOld = inOld || kept == name;
        }
        if (!inOld && ::fremovexattr(newFd, name.c_str()) != 0)
        {
            return false;
        }
    }
    std::string value;
    for (const std::string& name : keep)
    {
        if (!ReadAttribute(oldFd, name, value) || ::fsetxattr(newFd, name.c_str(), value.data(), value.size(), 0) != 0)
        {
            return false;
        }
    }
    return true;
}

bool InGroup(gid_t group)
{
    if (::getegid() == group)
    {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
    {
        return false;
    }
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
    {
        if (groups[static_cast<std::size_t>(i)] == group)
        {
            return true;
        }
    }
    return false;
}
} // namespace

bool CanKeepOwnership(const struct stat& old)
{
    const uid_t self = ::geteuid();
    return self == 0 || (old.st_uid == self && InGroup(old.st_gid));
}

bool CopyAccess(int oldFd, const struct stat& old, int newFd)
{
    // Owner and group first: a change of owner clears the set-id bits the mode then puts back.
    const uid_t owner = ::geteuid() == 0 ? old.st_uid : static_cast<uid_t>(-1);
    return ::fchown(newFd, owner, old.st_gid) == 0 && CopyAttributes(oldFd, newFd) &&
           ::fchmod(newFd, old.st_mode & 07777) == 0;
}
