#pragma once
// The whole state of a simulated remote that outlives a restart: its memory banks, its
// version text and the identity it reports. remote-sim keeps one in a file.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct RemoteImage {
    static constexpr std::size_t kBankSize = 0x10000;

    // Bank number (the two-hex-digit bank text read as hex) to its 64 KiB of memory.
    std::map<int, std::vector<std::uint8_t>> banks;
    // What ReadVersion reports.
    std::string version = "1020";
    // What RBasicInfo reports as identity (30 hex characters). Empty: the first 15 bytes of
    // bank 08 at B000, as a real remote reports its own info block.
    std::string identityOverride;

    // The bank, made (zero-filled) if it does not exist yet.
    std::vector<std::uint8_t>& Bank(int number) {
        auto& bank = banks[number];
        if (bank.size() != kBankSize)
            bank.resize(kBankSize, 0);
        return bank;
    }
};
