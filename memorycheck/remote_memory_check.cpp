#include "memorycheck/remote_memory_check.h"

#include <cstdio>
#include <optional>
#include <set>
#include <vector>

namespace {

constexpr int kStartupBank = 0x08;
constexpr int kConfigAddress = 0xB03C;
constexpr int kKeyEntryBytes = 22;
constexpr int kCodeEntryBytes = 6;

class BankReader {
  public:
    explicit BankReader(const std::vector<std::uint8_t>* bank) : bank_(bank) {}
    bool Has(long address, long size) const {
        return bank_ != nullptr && address >= 0 && size >= 0 &&
               address + size <= static_cast<long>(bank_->size());
    }
    int Byte(long address) const { return (*bank_)[static_cast<std::size_t>(address)]; }
    int Word(long address) const { return Byte(address) | (Byte(address + 1) << 8); }

  private:
    const std::vector<std::uint8_t>* bank_;
};

const std::vector<std::uint8_t>* FindBank(const RemoteBanks& banks, int number) {
    const auto it = banks.find(number);
    return it == banks.end() ? nullptr : &it->second;
}

std::string Line(const char* format, int a, int b = 0, int c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// Where the tables lie and how big they are, from the config block and the directory.
struct Layout {
    int bankNumber = 0;
    int keyCount = 0;
    long keyTable = 0;
    int tableCount = 0;
    int units = 0;
    long table = 0;
    int bitmapSize = 0;
};

std::optional<Layout> ReadLayout(const RemoteBanks& banks, std::vector<std::string>& findings) {
    const BankReader startup(FindBank(banks, kStartupBank));
    if (!startup.Has(kConfigAddress, 16)) {
        findings.push_back("bank 08 is missing");
        return std::nullopt;
    }
    const int directory = startup.Word(kConfigAddress);
    const int bias = startup.Word(kConfigAddress + 6);
    if (!startup.Has(directory, 32)) {
        findings.push_back("directory block past the end of memory");
        return std::nullopt;
    }
    const auto translate = [&](int stored) {
        return stored >= bias ? stored - bias : static_cast<long>(stored) + directory;
    };
    Layout layout;
    layout.bankNumber = startup.Byte(kConfigAddress + 8);
    layout.keyCount = startup.Word(directory);
    layout.keyTable = translate(startup.Word(directory + 16));
    layout.tableCount = startup.Byte(directory + 7);
    layout.units = startup.Word(directory + 8);
    layout.table = translate(startup.Word(directory + 26));
    layout.bitmapSize = (layout.units + 7) / 8;
    return layout;
}

// The code table: entries in use inside the area, no unit claimed twice, the bitmap exact.
void CheckCodeTable(const Layout& layout, const BankReader& bank,
                    std::vector<std::string>& findings) {
    std::vector<int> owner(static_cast<std::size_t>(layout.units), -1);
    for (int index = 0; index < layout.tableCount; ++index) {
        const long at = layout.table + layout.bitmapSize + long{kCodeEntryBytes} * index;
        const int word = bank.Word(at + 3);
        if ((word & 0x8000) == 0)
            continue;
        const int first = word & 0x7FFF;
        const int count = bank.Byte(at + 5);
        if (first + count > layout.units) {
            findings.push_back(
                Line("entry %d: units %d..%d past the code area", index, first, first + count - 1));
            continue;
        }
        for (int unit = first; unit < first + count; ++unit) {
            int& who = owner[static_cast<std::size_t>(unit)];
            if (who >= 0)
                findings.push_back(Line("entry %d overlaps entry %d at unit %d", index, who, unit));
            else
                who = index;
        }
    }
    for (int unit = 0; unit < layout.units; ++unit) {
        const bool bit = (bank.Byte(layout.table + unit / 8) & (0x80 >> (unit % 8))) != 0;
        const bool used = owner[static_cast<std::size_t>(unit)] >= 0;
        if (bit != used)
            findings.push_back(Line(bit ? "unit %d marked used but no entry holds it"
                                        : "unit %d held by an entry but marked free",
                                    unit));
    }
}

bool EntryInUse(const Layout& layout, const BankReader& bank, int index) {
    const long at = layout.table + layout.bitmapSize + long{kCodeEntryBytes} * index;
    return (bank.Word(at + 3) & 0x8000) != 0;
}

// The keys: every key holding a code in table form points at an entry in use. Gives the
// entries that some key points at.
std::set<int> CheckKeyTable(const Layout& layout, const BankReader& bank,
                            std::vector<std::string>& findings) {
    std::set<int> referenced;
    if (!bank.Has(layout.keyTable, long{kKeyEntryBytes} * layout.keyCount)) {
        findings.push_back(Line("key table at %X in bank %02X is past the end of memory",
                                int(layout.keyTable), layout.bankNumber));
        return referenced;
    }
    for (int slot = 0; slot < layout.keyCount; ++slot) {
        const long at = layout.keyTable + long{kKeyEntryBytes} * slot;
        // A key holds a code when its status byte has bit 7 set and bit 5 clear.
        const bool holdsCode = (bank.Byte(at) & 0xA0) == 0x80;
        if (!holdsCode || (bank.Byte(at + 2) & 0x80) == 0)
            continue;
        const int index = bank.Byte(at + 3);
        referenced.insert(index);
        if (index >= layout.tableCount)
            findings.push_back(
                Line("key entry %d points at entry %d, past the code table", slot, index));
        else if (!EntryInUse(layout, bank, index))
            findings.push_back(Line("key entry %d points at entry %d, which is free", slot, index));
    }
    return referenced;
}

}  // namespace

RemoteMemoryCheck CheckRemoteMemory(const RemoteBanks& banks) {
    RemoteMemoryCheck check;
    const std::optional<Layout> layout = ReadLayout(banks, check.findings);
    if (!layout)
        return check;
    const BankReader bank(FindBank(banks, layout->bankNumber));
    if (!bank.Has(layout->table, layout->bitmapSize + long{kCodeEntryBytes} * layout->tableCount)) {
        check.findings.push_back(Line("code table at %X in bank %02X is past the end of memory",
                                      int(layout->table), layout->bankNumber));
        return check;
    }
    CheckCodeTable(*layout, bank, check.findings);
    const std::set<int> referenced = CheckKeyTable(*layout, bank, check.findings);
    for (int index = 0; index < layout->tableCount; ++index) {
        if (EntryInUse(*layout, bank, index) && referenced.count(index) == 0)
            check.warnings.push_back(Line("entry %d is in use but no key points at it", index));
    }
    return check;
}
