#pragma once
// A backup of a remote's learned codes as a text file that a person can read and a program can
// check. Every line is "WORD VALUE...", hex upper case:
//
//   keylearn-backup 1
//   model 7731                                   the remote's model code
//   identity 59485A4C3737333100010203040506      the remote's identity, 30 hex digits
//   bank 08                                      the memory bank of the regions
//   region key-table 8100 968                    name, address, length in bytes (decimal)
//   8100 C0008002FFFF...                         address, then up to 32 bytes
//   ...                                          (code-table and code-area the same way)
//   sha256 9F86D081...                           SHA-256 of every byte above this line
//
// Lines starting with "#" are comments (and covered by the checksum). The regions are those of
// remote_backup.h, in its order; their data lines run without gaps from the region's address.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "learning/remote_backup.h"

struct RemoteBackup {
    std::string model;     // four hex digits
    std::string identity;  // 30 hex digits
    ManagedRegions regions;
};

// The file's text.
std::string FormatBackup(const RemoteBackup& backup);

enum class BackupProblem {
    kNone,
    kNotABackup,       // the first line is not "keylearn-backup 1"
    kNoChecksum,       // the last line is not a checksum (a cut-off file)
    kChecksumDiffers,  // the text was changed or damaged after it was written
    kMalformed,        // a line that is not what its place calls for (see line)
};

struct BackupReading {
    std::optional<RemoteBackup> backup;
    BackupProblem problem = BackupProblem::kNone;
    int line = 0;  // kMalformed: the line, counted from 1
};

BackupReading ParseBackup(std::string_view text);

// The most a backup file can hold: three regions of a 64 KiB memory as hex, with room to spare.
// A reader reads no more than this (the file is written whole by platform/whole_file_writer.h).
inline constexpr std::size_t kMaxBackupFileBytes = 4 * 1024 * 1024;
