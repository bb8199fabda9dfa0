#pragma once
// The invariants of a remote's memory, which every change the program makes keeps whatever
// fails and whenever it stops:
//   - every key entry that holds a code in table form points at a code-table entry in use;
//   - every entry in use lies inside the code area;
//   - no unit of the code area is claimed by two entries in use;
//   - the bitmap marks exactly the units of the entries in use (padding bits past the last
//     unit are not looked at).
// An entry in use that no key points at breaks none of them (a crash between writing a key's
// new entry and freeing its old one leaves one) and is a warning.
//
// The tables are found as the remote describes them: config block at B03C of bank 08, the
// directory it names, and the tables in the bank the config block names. Plain C++ over the
// bytes, so that the simulated remote checks its own image (`remote-sim check`) and remotectl
// checks what it read through the device library, with the same rules.
//
// It keeps its own reading of the memory format (the addresses, the bank, the entry sizes and
// flags) on purpose, apart from the program's in src/device/: it is the second opinion, and a
// fault in the program's reading must not become a fault of the check that is to catch it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Bank number to its memory from address 0 on; an address past a bank's end is not there.
using RemoteBanks = std::map<int, std::vector<std::uint8_t>>;

struct RemoteMemoryCheck {
    std::vector<std::string> findings;  // broken invariants, one line each
    std::vector<std::string> warnings;  // entries in use that no key points at

    bool Consistent() const { return findings.empty(); }
};

RemoteMemoryCheck CheckRemoteMemory(const RemoteBanks& banks);
