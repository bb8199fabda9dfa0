#pragma once
// Reading the remote at start-up, once the window has seen it attached: check that its firmware
// fits this program, then read its memory map, key slots, code table and built-in code list.
// What it finds is a typed outcome; the window turns it into texts and boxes.

#include <optional>
#include <string>

#include "device/remote_map.h"
#include "device/remote_memory_map.h"

class DeviceLibrary;

enum class StartupStatus {
    kReady,                  // every table was read
    kUnsupportedRemote,      // no version, a version not beginning "1020", or a model not 7731
    kFirmwareTooOld,         // model 8888
    kSoftwareTooOld,         // interface major 2 or more, or minor above 3
    kFirmwareProgramTooOld,  // interface major below 1
    kFirmwareVersionTooOld,  // interface minor below 3
    kNoAnswer,               // the info or config block read was refused: the window opens
                             // with what was filled
    kBadMemory,              // memory this program cannot work with: not hex, a table past
                             // its read or past FFFF, or a later read refused
};

struct StartupReading {
    StartupStatus status = StartupStatus::kNoAnswer;
    // The info block was read: the firmware label is shown from here on.
    bool infoBlockRead = false;
    // The remote passed the compatibility checks: the remote type label is shown.
    bool remoteAccepted = false;
    // The version and the info block passed: the tables may be read. Until they are, status is
    // kNoAnswer.
    bool identityAccepted = false;
    // The firmware's version text and the info block, once read.
    std::string version;
    std::optional<InfoBlock> info;
    RemoteMap map;  // as far as start-up got
    // The code-table read as hex text, a diagnostic copy; empty until that read was taken in.
    std::string codeTableReadText;
};

// The version check, the info block and its compatibility checks, then the config block,
// directory, key code list, key table, code table and built-in code list, in this order, each
// from the start-up bank; the first failure ends the reading.
StartupReading ReadRemoteAtStartup(DeviceLibrary& device);

// The same in two steps, so that a program can take the remote's lock (which its identity
// names) between them: the version and the info block first, then, for a remote whose identity
// was accepted, the tables.
StartupReading CheckRemoteAtStartup(DeviceLibrary& device);
void ReadRemoteTables(DeviceLibrary& device, StartupReading& reading);
