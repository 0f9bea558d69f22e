#include "port_holders.h"

#include "host_paths.h"
#include "printable_text.h"

#include <algorithm>

PortHolders HoldersOf(const DeviceNode& node, const std::vector<std::filesystem::path>& names,
                      const std::string& ttyName, const ProcessClaims* processes)
{
    HolderSearch search;
    search.root = HostRoot();
    search.all = true;
    search.processes = processes;
    const HolderList found = FindHolders({node.status, names, ttyName}, search);
    PortHolders held;
    for (const Holder& holder : found.holders) {
        if (holder.kind == Holder::Kind::Console) {
            held.console = true;
            continue;
        }
        const std::string lockFile = PrintableText(holder.lockFile.string());
        if (holder.program.empty()) {
            held.holders.push_back({holder.pid, NamelessHolderText(holder), false, false, lockFile});
            continue;
        }
        auto entry = std::find_if(held.holders.begin(), held.holders.end(),
                                  [&](const PortHolder& known) { return known.named && known.pid == holder.pid; });
        if (entry == held.holders.end())
            entry = held.holders.insert(held.holders.end(), {holder.pid, holder.program, true, false, {}});
        entry->locked = entry->locked || holder.kind == Holder::Kind::FileLock;
        if (holder.kind == Holder::Kind::LockFile && entry->lockFile.empty())
            entry->lockFile = lockFile;
    }
    return held;
}

std::string HoldersText(const std::vector<PortHolder>& holders)
{
    std::string text;
    for (const PortHolder& holder : holders) {
        text += text.empty() ? "" : ", ";
        if (!holder.named) {
            text += holder.program + " (" + holder.lockFile + ")";
            continue;
        }
        text += holder.program + " (pid " + std::to_string(holder.pid) + (holder.locked ? ", locked" : "") +
                (holder.lockFile.empty() ? "" : ", lock file " + holder.lockFile) + ")";
    }
    return text;
}
