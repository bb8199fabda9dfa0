#pragma once
// The remote as every remotectl command reaches it: through the linked device library, read
// the way the window reads it at start-up, and, for a command that changes it, locked against
// every other program for as long as the command runs.

#include <optional>
#include <string>

#include "device/device_entry_points.h"
#include "device/device_library.h"
#include "device/remote_memory_map.h"
#include "device/startup_reading.h"
#include "memorycheck/remote_memory_check.h"
#include "platform/remote_lock.h"

class RemoteSession {
  public:
    RemoteSession() : device_(entryPoints_) {}
    RemoteSession(const RemoteSession&) = delete;
    RemoteSession& operator=(const RemoteSession&) = delete;

    // Reads the remote: false with the reason in error (one line, no program name) when no
    // remote is attached or the remote is not one this program works with.
    bool Open(std::string& error);
    // Takes the remote's lock for a command that changes it; false with the reason (who holds
    // it) in error.
    bool Lock(std::string& error);

    DeviceLibrary& Device() { return device_; }
    RemoteMap& Map() { return reading_.map; }
    const InfoBlock& Info() const { return info_; }
    const std::string& Version() const { return version_; }
    // The model code as four hex digits ("7731").
    std::string ModelText() const;

  private:
    LinkedEntryPoints entryPoints_;
    DeviceLibrary device_;
    StartupReading reading_;
    InfoBlock info_;
    std::string version_;
    RemoteLock lock_;
};

// The key code a user typed: one or two hex digits (either case), or none. The window's own
// ParseKeyCode reads only the two upper-case digits of its buttons.
std::optional<KeyCode> KeyCodeTyped(const std::string& text);
std::string KeyCodeText(KeyCode code);

struct ManagedRegions;

// The banks as the memory check reads them: bank 08's config block and directory read now, and
// the learning regions given (the remote's, or a backup's) in their bank, each at its own
// address; everything else reads as zero. read is false when the blocks cannot be read.
RemoteBanks BanksForCheck(RemoteSession& session, const ManagedRegions& regions, bool& read);
