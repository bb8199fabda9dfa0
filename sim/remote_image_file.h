#pragma once
// The simulated remote's image file. Binary, little-endian:
//
//   8 bytes   "KLREMOTE"
//   u32       format version, 1
//   u32 n, n bytes   the version text (at most 249 bytes)
//   u32 n, n bytes   the identity override (at most 1023 bytes, empty when none)
//   u32       number of banks (at most 256), then per bank, in increasing number:
//             u32 bank number (0-255), 65536 bytes of memory
//   u32       CRC-32 (IEEE) of every byte before it
//
// Saving writes a temporary file beside the target (path.saving-XXXXXX), flushes it to disk and
// renames it over the target, so that a crash leaves either the old image or the new one, never
// half of one.

#include <string>

#include "common/result.h"
#include "sim/remote_image.h"

// The image in the file at path, or why there is none in a sentence fit for the command line.
Result<RemoteImage> LoadRemoteImage(const std::string& path);

// Saves image to path atomically; on failure the file at path is as it was, and the problem
// says why.
Result<Done> SaveRemoteImage(const RemoteImage& image, const std::string& path);

// Removes what interrupted saves of path left beside it: the temporary files of
// SaveRemoteImage (path.saving-XXXXXX), and those of its older pattern (path.XXXXXX) that
// hold no whole image; regular files of this user only. Only while no save of path can be
// under way. Gives how many it removed.
int RemoveInterruptedSaves(const std::string& path);
