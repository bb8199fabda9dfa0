#pragma once
// Replacing a file so that it is either the old file or the whole new one, never anything in
// between: the bytes go to a new file beside it, every write is checked (a full disk, a
// file-size limit and an I/O error show here, not later), the new file is synced to the disk,
// and only then renamed over the old one. A failure at any step leaves the old file as it was
// and removes the new one.
//
// The name must be a regular file or a new name: a folder, FIFO, device or socket is refused
// before anything is written (a rename would replace a device node with a file). A symbolic
// link is followed, and the file it leads to is replaced. The replacement keeps the old file's
// owner, group and permission bits; when the owner or group cannot be kept (another user's file
// in a shared folder), the file is not replaced. A new file gets the permissions of the umask.

#include <QString>
#include <string_view>

#include "common/result.h"

enum class FileWriteStep {
    kNotARegularFile,   // the name is a folder, FIFO, device or socket
    kLinkLeadsNowhere,  // the name is a symbolic link to nothing
    kLookUp,            // the name or its folder cannot be looked at
    kCreate,            // the new file cannot be made beside the old one
    kWrite,             // a write failed
    kSync,              // the new file could not be synced to the disk
    kKeepOwner,         // the old file's owner or group cannot be given to the new file
    kReplace,           // the new file could not be renamed over the old one
};

struct FileWriteProblem {
    FileWriteStep step = FileWriteStep::kWrite;
    int errorNumber = 0;  // the errno of the failed call; 0 for kNotARegularFile
};

Result<Done, FileWriteProblem> WriteWholeFile(const QString& path, std::string_view bytes);
