#include "device_holders.h"

#include "printable_text.h"
#include "tty_device.h"

#include <algorithm>

#include <sys/sysmacros.h>

namespace fs = std::filesystem;

namespace {

bool Done(const HolderList& list, const HolderSearch& search)
{
    return !search.all && !list.holders.empty();
}

void AddConsole(const DeviceToCheck& device, const HolderSearch& search, HolderList& list)
{
    const auto tty = device.ttyName.empty() ? TtyName(device.node.st_rdev, search.root / "sys") : device.ttyName;
    if (tty && IsKernelConsole(*tty, search.root / "sys"))
        list.holders.push_back({Holder::Kind::Console, 0, {}, {}, {}});
}

std::vector<fs::path> LockFilesOf(const DeviceToCheck& device, const fs::path& root)
{
    const std::vector<std::string> names = LockNamesOf(device);
    std::vector<fs::path> files;
    for (const fs::path& folder : LockFolders(root)) {
        for (const std::string& name : names)
            files.push_back(folder / name);
    }
    return files;
}

void AddLockFiles(const DeviceToCheck& device, const HolderSearch& search, HolderList& list)
{
    for (const fs::path& file : LockFilesOf(device, search.root)) {
        const LockReading reading = ReadLockFile(file, search.youngLock);
        if (!reading.Holds())
            continue;
        list.holders.push_back(LockHolder(reading, fs::path("/") / file.lexically_relative(search.root)));
        if (Done(list, search))
            return;
    }
}

void AddFileLocks(const DeviceToCheck& device, const ProcessClaims& processes, const HolderSearch& search,
                  HolderList& list)
{
    for (const FileLock& lock : processes.locks) {
        if (lock.devMajor != major(device.node.st_dev) || lock.devMinor != minor(device.node.st_dev) ||
            lock.inode != device.node.st_ino)
            continue;
        list.holders.push_back({Holder::Kind::FileLock, lock.pid, lock.pid > 0 ? ProgramName(lock.pid) : "?", {}, {}});
        if (Done(list, search))
            return;
    }
}

void AddOpenFiles(const DeviceToCheck& device, const ProcessClaims& processes, const HolderSearch& search,
                  HolderList& list)
{
    for (const OpenFile& descriptor : processes.open.files) {
        const bool known = std::any_of(list.holders.begin(), list.holders.end(), [&](const Holder& holder) {
            return holder.kind == Holder::Kind::Open && holder.pid == descriptor.pid;
        });
        if (known || !S_ISCHR(descriptor.file.st_mode) || descriptor.file.st_rdev != device.node.st_rdev)
            continue;
        list.holders.push_back({Holder::Kind::Open, descriptor.pid, ProgramName(descriptor.pid), {}, {}});
        if (Done(list, search))
            return;
    }
}

void NoteWhatWasNotSeen(const FoundFiles& open, HolderList& list)
{
    if (open.hidden > 0)
        list.notes.push_back(std::to_string(open.hidden) + " processes could not be looked into (other users' "
                             "programs): the kernel's own checks and their locks stand for them");
    if (open.late > 0)
        list.notes.push_back(std::to_string(open.late) + " processes were not looked into: the look at /proc ran "
                             "out of time");
}

std::string ShownLockFile(const Holder& holder)
{
    return PrintableText(holder.lockFile.string());
}

}  // namespace

std::vector<std::string> LockNamesOf(const DeviceToCheck& device)
{
    std::vector<std::string> names{DeviceNumberLockName(device.node.st_rdev)};
    for (const fs::path& name : device.names) {
        if (const auto file = LockFileName(name); file && std::find(names.begin(), names.end(), *file) == names.end())
            names.push_back(*file);
    }
    return names;
}

Holder LockHolder(const LockReading& reading, const fs::path& shown)
{
    const bool named = reading.state == LockReading::State::Live;
    return {Holder::Kind::LockFile, reading.pid, named ? ProgramName(reading.pid) : std::string(), reading.state,
            shown};
}

ProcessClaims LookAtProcesses()
{
    return {FindOpenDevices(), FindFileLocks()};
}

HolderList FindHolders(const DeviceToCheck& device, const HolderSearch& search)
{
    HolderList list;
    AddConsole(device, search, list);
    if (!Done(list, search))
        AddLockFiles(device, search, list);
    if (Done(list, search))
        return list;
    // Locks first: /proc/locks is one read, the descriptors of every process are many.
    ProcessClaims taken;
    if (!search.processes)
        taken.locks = FindFileLocks();
    const ProcessClaims& processes = search.processes ? *search.processes : taken;
    AddFileLocks(device, processes, search, list);
    if (Done(list, search))
        return list;
    if (!search.processes)
        taken.open = FindOpenDevices();
    AddOpenFiles(device, processes, search, list);
    NoteWhatWasNotSeen(processes.open, list);
    return list;
}

std::string NamelessHolderText(const Holder& holder)
{
    if (holder.kind == Holder::Kind::Console)
        return "the kernel's console";
    if (!holder.program.empty())
        return {};
    switch (holder.lockState) {
    case LockReading::State::Young:
        return "a lock file with no PID in it yet";
    case LockReading::State::Unreadable:
        return "a lock file this user cannot read";
    case LockReading::State::Unseen:
        return "a lock file naming pid " + std::to_string(holder.pid) + ", which no process of this PID namespace has";
    default:
        return "?";
    }
}

std::string RefusalText(const Holder& holder)
{
    const std::string process = holder.program + " (pid " + std::to_string(holder.pid) + ")";
    switch (holder.kind) {
    case Holder::Kind::Console:
        return "in use by the kernel's console";
    case Holder::Kind::LockFile:
        if (holder.program.empty())
            return "in use by " + NamelessHolderText(holder) + ": " + ShownLockFile(holder);
        return "in use by " + process + ": its lock file " + ShownLockFile(holder);
    case Holder::Kind::FileLock:
        return "in use by " + process + ", which has locked it";
    case Holder::Kind::Open:
        break;
    }
    return "in use by " + process + ", which has it open";
}
