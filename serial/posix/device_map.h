// The per-user map that says which Unix device each DOS serial device name ("com1", "\\.\COM12")
// is: a folder of symlinks named after the ports. The comm calls read it; the loopback plug and
// vornikal-port write it.
#pragma once

#include "com_port_name.h"

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

// ${XDG_CONFIG_HOME:-$HOME/.config}/vornikal/dosdevices; nothing when neither variable is usable.
std::optional<std::filesystem::path> DeviceMapFolder();

// An entry of this process alone, before the folder's: port N stands for `device` here, however
// long its path. A port's name holds 19 characters, so vornikal-send opens a device given by its
// path (/dev/serial/by-id/...) as a comN this entry points at, and the open checks and locks every
// name on the way from that path, as for a folder entry. One entry; set before the port is opened.
void MapComPortInThisProcess(unsigned portNumber, const std::filesystem::path& device);
// The device this process's entry gives port N, if it has one.
std::optional<std::filesystem::path> ThisProcessComPortEntry(unsigned portNumber);

// The device that port N stands for: this process's entry, else the map entry named comN (an exact
// lower-case name first, then any spelling), else /dev/ttyS(N-1).
std::filesystem::path ComPortDevice(unsigned portNumber);
// The same in a given map folder.
std::filesystem::path ComPortDevice(const std::filesystem::path& folder, unsigned portNumber);
// What comN means when the map has no entry for it.
std::filesystem::path UnmappedComPortDevice(unsigned portNumber);

// The entry for port N in `folder` (the exact lower-case name first, then any spelling).
std::optional<std::filesystem::path> ComPortEntry(const std::filesystem::path& folder, unsigned portNumber);

struct ComPortLink {
    unsigned port;
    std::filesystem::path entry;   // the symlink in the folder
    std::filesystem::path target;  // what it points at, as written
};
// Every comN symlink in `folder`, by port number; for a port spelled several ways, the one that
// ComPortEntry picks. An unreadable or missing folder has none.
std::vector<ComPortLink> ComPortLinks(const std::filesystem::path& folder);

// Points comN at `target`, creating the folder when needed. The entry is replaced in one rename, so a
// reader never finds it missing or half made; other spellings of the same port go. Throws
// std::filesystem::filesystem_error, and std::runtime_error for an entry that is not a symlink,
// which is left alone.
void MapComPort(const std::filesystem::path& folder, unsigned portNumber, const std::filesystem::path& target);
// Removes every spelling of comN that is a symlink; whether there was one. Throws as MapComPort does.
bool UnmapComPort(const std::filesystem::path& folder, unsigned portNumber);
