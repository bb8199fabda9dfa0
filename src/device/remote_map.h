#pragma once
// What start-up reads from the remote's memory: where the tables lie, their sizes, and the
// key slots, code table and code-area bitmap as the program keeps them. Filled once by start-up;
// the key operations keep keySlots, codeTable and codeAreaBitmap in step with what they write.

#include <string>
#include <vector>

#include "device/memory_address.h"
#include "device/remote_tables.h"

struct RemoteMap {
    std::string remoteIdText;  // the identity: the info block's first 15 bytes as 30 hex digits
    MemoryAddress directoryAddress = 0;  // also the addend of pointer translation
    MemoryAddress pointerBias = 0;       // the subtrahend of pointer translation
    MemoryBank memoryBank{};             // the bank of every later read and write
    // The counts as the directory gives them; the tables below are read to these sizes.
    int keyEntryCount = 0;
    int codeTableCount = 0;
    int codeAreaUnits = 0;
    MemoryAddress keyTableAddress = 0;
    MemoryAddress builtinListAddress = 0;
    MemoryAddress codeTableAddress = 0;
    MemoryAddress codeAreaAddress = 0;
    std::vector<KeySlot> keySlots;     // one per key code, in slot order
    CodeAreaBitmap codeAreaBitmap;     // one bit per code-area unit, at codeTableAddress
    std::vector<CodeEntry> codeTable;  // right behind the bitmap on the remote
    std::vector<CodeId> builtinCodeIds;
};
