#pragma once
// The memory invariants (memorycheck/remote_memory_check.h) applied to a simulated remote's
// image. Tests run this after the program has written to a remote, and `remote-sim check` on
// the live one.

#include <string>

#include "memorycheck/remote_memory_check.h"
#include "sim/remote_image.h"

RemoteMemoryCheck CheckRemoteMemory(const RemoteImage& image);

// The findings of CheckRemoteMemory, one per line ("\n" after each); empty when consistent.
// Warnings are left out.
std::string CheckCodeTableConsistent(const RemoteImage& image);
