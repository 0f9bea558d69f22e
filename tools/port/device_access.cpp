#include "device_access.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ModeText(mode_t mode)
{
    std::string text = S_ISCHR(mode) ? "c" : (S_ISDIR(mode) ? "d" : "-");
    const char letters[] = "rwx";
    for (int shift = 8; shift >= 0; --shift)
        text += (mode & (1u << shift)) ? letters[(8 - shift) % 3] : '-';
    return text;
}

std::string GroupName(gid_t group)
{
    const struct group* entry = getgrgid(group);
    return entry ? entry->gr_name : std::to_string(group);
}

std::string UserName(uid_t user)
{
    const struct passwd* entry = getpwuid(user);
    return entry ? entry->pw_name : std::to_string(user);
}

bool InSessionGroups(gid_t group)
{
    if (getegid() == group)
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(static_cast<int>(groups.size()), groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(count, 0), group) != groups.begin() + std::max(count, 0);
}

// The user's groups as the group database has them now, which a session started earlier lacks.
bool InDatabaseGroups(gid_t group)
{
    const struct passwd* user = getpwuid(geteuid());
    if (user == nullptr)
        return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    return std::find(groups.begin(), groups.begin() + count, group) != groups.begin() + count;
}

AccessVerdict ExplainRefusal(const struct stat& status)
{
    const std::string mode = ModeText(status.st_mode);
    const std::string owner = UserName(status.st_uid);
    const std::string group = GroupName(status.st_gid);
    const bool groupMayOpen = (status.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (groupMayOpen && !InSessionGroups(status.st_gid)) {
        if (InDatabaseGroups(status.st_gid))
            return {false, "you were added to group " + group + " after this session started",
                    "log out and in again (or run `newgrp " + group + "` in this shell)"};
        return {false, "it belongs to group " + group + " (" + mode + " " + owner + ":" + group +
                           ") and you are not in that group",
                "sudo usermod -aG " + group + " \"$USER\", then log out and in again"};
    }
    if (groupMayOpen)
        return {false, "it is " + mode + " " + owner + ":" + group + ", and still refused (an ACL?)", {}};
    return {false, "only " + owner + " may open it (" + mode + " " + owner + ":" + group + ")",
            "an administrator can give it to group dialout with a udev rule"};
}

}  // namespace

AccessVerdict MayOpen(const std::filesystem::path& hostPath)
{
    if (faccessat(AT_FDCWD, hostPath.c_str(), R_OK | W_OK, AT_EACCESS) == 0)
        return {true, {}, {}};
    const int error = errno;
    struct stat status {};
    if (error != EACCES || stat(hostPath.c_str(), &status) != 0)
        return {false, std::strerror(error), {}};
    return ExplainRefusal(status);
}
