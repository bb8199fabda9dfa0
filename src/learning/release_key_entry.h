#pragma once
// Taking a key's code off the remote.

#include "device/remote_tables.h"

class DeviceLibrary;
struct RemoteMap;

enum class ReleaseOutcome {
    kReleased,          // the key holds no code now; its code-table entry was freed unless
                        // another key still uses it (a refused write of the table goes
                        // unreported, and the map then keeps what the remote holds)
    kNoKeyEntry,        // the slot lies outside the key table: nothing read or written
    kEntryNotReadable,  // the key entry could not be read (refused, or not hex): nothing written
    kStatusNotWritten,  // the status byte was refused: the code table was left alone, since the
                        // key may still point at its entry
};

// Clears the key entry of slot `slotIndex` on the remote (its status byte becomes 00) and, when
// the entry pointed at a code-table entry that no other key (a slot with a key code other than
// keyCode) still points at, frees that code-table entry and its code-area units, writing the
// bitmap and the table back in one write and keeping map.codeAreaBitmap and map.codeTable in
// step with the remote. Shows nothing: every outcome but kReleased is the caller's
// "删除操作失败！". The code data itself is never touched.
ReleaseOutcome ReleaseKeyEntry(RemoteMap& map, DeviceLibrary& device, int slotIndex,
                               KeyCode keyCode);
