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
// directory it names, and the tables in the bank the config block names. Tests run this after
// the program has written to a remote, and `remote-sim check` on the live one.

#include <string>
#include <vector>

#include "sim/remote_image.h"

struct RemoteMemoryCheck {
    std::vector<std::string> findings;  // broken invariants, one line each
    std::vector<std::string> warnings;  // entries in use that no key points at

    bool Consistent() const { return findings.empty(); }
};

RemoteMemoryCheck CheckRemoteMemory(const RemoteImage& image);

// The findings of CheckRemoteMemory, one per line ("\n" after each); empty when consistent.
// Warnings are left out.
std::string CheckCodeTableConsistent(const RemoteImage& image);
