#pragma once
// What start-up reads from the remote's memory: where the tables lie, their sizes, and the
// key slots and code table as the program keeps them. Filled once by start-up; the key
// operations keep keySlots, codeAreaBitmap and codeTableText in step with what they write.

#include <string>
#include <vector>

struct RemoteMap {
    std::string remoteIdText;  // the identity: the info block's first 30 hex characters
    int directoryAddress = 0;  // also the addend of pointer translation
    int pointerBias = 0;       // the subtrahend of pointer translation
    std::string memoryBank;    // two hex digits, the bank of every later read and write
    int keyEntryCount = 0;
    int codeTableCount = 0;
    int codeAreaUnits = 0;
    int keyTableAddress = 0;
    int builtinListAddress = 0;
    int codeTableAddress = 0;
    int codeAreaAddress = 0;
    std::vector<std::string> keySlots;        // one slot text per key code, in slot order
    std::string codeAreaBitmap;               // one '0' or '1' per code-area unit, unit 0 first
    std::string codeTableText;                // the code entries as hex, 12 characters each
    std::vector<std::string> builtinCodeIds;  // six hex digits each
};
