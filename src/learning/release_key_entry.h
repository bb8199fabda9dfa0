#pragma once
// Taking a key's code off the remote.

#include <string>

#include "remote_memory_map.h"

class DeviceLibrary;
class Prompter;
struct RemoteMap;

// The KeyEntry of a slot: kKeyEntryBytes (22) at keyTableAddress + 22 x slot, as hex text.
inline constexpr int kKeyEntryHexChars = 2 * kKeyEntryBytes;

// Clears the KeyEntry of slot `slotIndex` on the remote (its status byte becomes 00) and, when
// the entry pointed at a code-table entry that no other key (a slot with a key code other than
// keyCode) still points at, frees that code-table entry and its code-area units, writing the
// bitmap and the table back in one write and keeping map.codeAreaBitmap and map.codeTableText
// in step with the remote.
//
// Returns whether the key's code was taken off: false, after the box "删除操作失败！", when the
// slot has no KeyEntry (outside 0..keyEntryCount-1), when the entry cannot be read (then nothing
// is written) or when its status byte cannot be written (then the code table is left alone,
// since the key may still point at the entry). The code data itself is never touched.
bool ReleaseKeyEntry(RemoteMap& map, DeviceLibrary& device, Prompter& prompter, int slotIndex,
                     const std::string& keyCode);
