#include "sim/remote_image_check.h"

#include <cstdio>
#include <vector>

namespace {

constexpr int kStartupBank = 0x08;
constexpr int kConfigAddress = 0xB03C;

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

const std::vector<std::uint8_t>* FindBank(const RemoteImage& image, int number) {
    const auto it = image.banks.find(number);
    return it == image.banks.end() ? nullptr : &it->second;
}

std::string Line(const char* format, int a, int b = 0, int c = 0) {
    char text[160];
    std::snprintf(text, sizeof text, format, a, b, c);
    return std::string(text) + "\n";
}

}  // namespace

std::string CheckCodeTableConsistent(const RemoteImage& image) {
    const BankReader startup(FindBank(image, kStartupBank));
    if (!startup.Has(kConfigAddress, 16))
        return "bank 08 is missing\n";
    const int directory = startup.Word(kConfigAddress);
    const int bias = startup.Word(kConfigAddress + 6);
    const int bankNumber = startup.Byte(kConfigAddress + 8);
    if (!startup.Has(directory, 32))
        return "directory block past the end of memory\n";
    const int tableCount = startup.Byte(directory + 7);
    const int units = startup.Word(directory + 8);
    const int stored = startup.Word(directory + 26);
    const long table = stored >= bias ? stored - bias : static_cast<long>(stored) + directory;
    const int bitmapSize = (units + 7) / 8;

    const BankReader bank(FindBank(image, bankNumber));
    if (!bank.Has(table, bitmapSize + 6L * tableCount))
        return Line("code table at %X in bank %02X is past the end of memory", int(table),
                    bankNumber);

    std::string findings;
    std::vector<int> owner(static_cast<std::size_t>(units), -1);
    for (int index = 0; index < tableCount; ++index) {
        const long at = table + bitmapSize + 6L * index;
        const int word = bank.Word(at + 3);
        if ((word & 0x8000) == 0)
            continue;
        const int first = word & 0x7FFF;
        const int count = bank.Byte(at + 5);
        if (first + count > units) {
            findings +=
                Line("entry %d: units %d..%d past the code area", index, first, first + count - 1);
            continue;
        }
        for (int unit = first; unit < first + count; ++unit) {
            int& who = owner[static_cast<std::size_t>(unit)];
            if (who >= 0)
                findings += Line("entry %d overlaps entry %d at unit %d", index, who, unit);
            else
                who = index;
        }
    }
    for (int unit = 0; unit < units; ++unit) {
        const bool bit = (bank.Byte(table + unit / 8) & (0x80 >> (unit % 8))) != 0;
        const bool used = owner[static_cast<std::size_t>(unit)] >= 0;
        if (bit != used)
            findings += Line(bit ? "unit %d marked used but no entry holds it"
                                 : "unit %d held by an entry but marked free",
                             unit);
    }
    return findings;
}
