#include "sim/remote_image_builder.h"

#include <stdexcept>

#include "sim/remote_memory_layout.h"

namespace {

using namespace remote_layout;

constexpr int kAddressLimit = 0x10000;

using ByteList = RemoteImageBuilder::ByteList;

int HexValue(const std::string& text) {
    std::size_t used = 0;
    const unsigned long value = std::stoul(text, &used, 16);
    if (used != text.size())
        throw std::invalid_argument("not hex: " + text);
    return static_cast<int>(value);
}

// Six hex digits as three bytes, high first, as ids are stored.
ByteList IdBytes(const std::string& id) {
    if (id.size() != 6)
        throw std::invalid_argument("a code id has six hex digits: " + id);
    const int value = HexValue(id);
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value)};
}

// Writes what lies below 10000 hex; the rest of a table placed past the end of memory is
// simply not there, as on a remote whose pointer is wrong.
void Put(std::vector<std::uint8_t>& bank, int address, const ByteList& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const long at = static_cast<long>(address) + static_cast<long>(i);
        if (at >= 0 && at < kAddressLimit)
            bank[static_cast<std::size_t>(at)] = bytes[i];
    }
}

void PutWord(std::vector<std::uint8_t>& bank, int address, int value) {
    Put(bank, address,
        {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF)});
}

// Recognisable filler for a code's units when a test gives no data.
ByteList PatternData(int index, int units) {
    ByteList data(static_cast<std::size_t>(units * kUnitBytes));
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>((index << 4) + (i & 0x0F));
    return data;
}

}  // namespace

RemoteImageBuilder::RemoteImageBuilder()
    : identity_{0x59, 0x48, 0x5A, 0x4C, 0x37, 0x37, 0x33, 0x31,
                0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06},
      directory_(default_remote::kDirectoryAddress),
      bias_(default_remote::kPointerBias) {
    placements_[RemoteTable::kKeyTable] = {
        default_remote::kKeyTableAddress, PointerForm::kRelative, {}};
    placements_[RemoteTable::kBuiltinList] = {
        default_remote::kBuiltinListAddress, PointerForm::kRelative, {}};
    placements_[RemoteTable::kCodeTable] = {
        default_remote::kCodeTableAddress, PointerForm::kBiased, {}};
    placements_[RemoteTable::kCodeArea] = {
        default_remote::kCodeAreaAddress, PointerForm::kBiased, {}};
}

RemoteImageBuilder RemoteImageBuilder::DefaultRemote() {
    namespace d = default_remote;
    RemoteImageBuilder b;
    b.Version(d::kVersion).Keys(d::kKeyCodes);
    b.CodeTableCount(d::kCodeTableCount).CodeAreaUnits(d::kCodeAreaUnits);
    b.CodeEntry(0, "A01234", 0, 3).CodeEntry(3, "A09ABC", 8, 5);
    // A learned signal of no known protocol, as the converter records it: a raw id (80 hex
    // plus a hash of the data) and two units of timing table and sequence (500, 1000 and
    // 20000 µs; +1000 -500 +500 -1000 +500 -500 +1000 -1000 +500, lead-out).
    b.CodeEntry(2, "B6C3AF", 3, 2,
                {0x52, 0x04, 0x03, 0x0A, 0x00, 0xF4, 0x01, 0xE8, 0x03, 0x20, 0x4E, 0x10, 0x01, 0x00,
                 0x11, 0x02});
    // Downloaded codes named directly.
    b.KeyEntry(d::kSlotOfKey00, {0x80, 0x00, 0x00, 0x22, 0x00, 0x00});
    b.KeyEntry(2, {0x80, 0x00, 0x00, 0x23, 0x00, 0x00});
    b.KeyEntry(3, {0x80, 0x00, 0x00, 0x2A, 0x00, 0x00});
    b.KeyEntry(4, {0x80, 0x00, 0x00, 0x0A, 0x00, 0x00});
    b.KeyEntry(5, {0x80, 0x00, 0x00, 0x0B, 0x00, 0x00});
    // Downloaded codes in the code table; keys 33 and 34 share entry 0.
    b.KeyEntry(d::kSlotOfKey33, {0x80, 0x00, 0x80, 0x00, 0x00, 0x10});
    b.KeyEntry(d::kSlotOfKey34, {0x80, 0x00, 0x80, 0x00, 0x00, 0x10});
    b.KeyEntry(d::kSlotOfKey35, {0x80, 0x00, 0x80, 0x03, 0x00, 0x10});
    // A learned code in the table form; a raw record's fields are all zero (no parameters,
    // the carrier not measured).
    b.KeyEntry(d::kSlotOfKey30, {0xC0, 0x00, 0x80, d::kLearnedCodeEntry, 0xFF, 0xFF});
    b.Builtin(d::kBuiltinIds);
    return b;
}

RemoteImage DefaultRemoteImage() {
    return RemoteImageBuilder::DefaultRemote().Build();
}

RemoteImageBuilder& RemoteImageBuilder::Identity(const ByteList& fifteenBytes) {
    identity_ = fifteenBytes;
    identity_.resize(15, 0);
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Model(const std::string& fourHexDigits) {
    if (fourHexDigits.size() != 4)
        throw std::invalid_argument("a model code has four hex digits");
    const int value = HexValue(fourHexDigits);
    modelHigh_ = value >> 8;
    modelLow_ = value & 0xFF;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Interface(int major, int minor) {
    major_ = major;
    minor_ = minor;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Version(const std::string& text) {
    version_ = text;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Directory(int address) {
    directory_ = address;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::PointerBias(int bias) {
    bias_ = bias;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::MemoryBank(int bank) {
    memoryBank_ = bank;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Place(RemoteTable table, int address, PointerForm form) {
    placements_[table] = {address, form, {}};
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::StoredPointer(RemoteTable table, int word) {
    placements_[table].rawWord = word & 0xFFFF;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Keys(const std::vector<int>& keyCodes) {
    keyCodes_ = keyCodes;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::KeyEntryCount(int count) {
    keyEntryCount_ = count;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::KeyEntry(int slot, const ByteList& bytes) {
    ByteList entry = bytes;
    entry.resize(kKeyEntryBytes, 0);
    keyEntries_[slot] = entry;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::CodeTableCount(int count) {
    codeTableCount_ = count;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::CodeAreaUnits(int units) {
    codeAreaUnits_ = units;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::CodeEntry(int index, const std::string& id, int firstUnit,
                                                  int units, const ByteList& data) {
    ByteList entry = IdBytes(id);
    const int word = 0x8000 + firstUnit;
    entry.push_back(static_cast<std::uint8_t>(word & 0xFF));
    entry.push_back(static_cast<std::uint8_t>((word >> 8) & 0xFF));
    entry.push_back(static_cast<std::uint8_t>(units));
    codeEntries_[index] = entry;
    ByteList unitData = data.empty() ? PatternData(index, units) : data;
    unitData.resize(static_cast<std::size_t>(units * kUnitBytes), 0);
    codeData_[firstUnit] = unitData;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::RawCodeEntry(int index, const ByteList& sixBytes) {
    ByteList entry = sixBytes;
    entry.resize(kCodeEntryBytes, 0);
    codeEntries_[index] = entry;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::BitmapBytes(const ByteList& bytes) {
    bitmap_ = bytes;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Builtin(const std::vector<std::string>& ids) {
    builtinIds_ = ids;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::BuiltinCount(int word) {
    builtinCount_ = word;
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Bytes(int address, const ByteList& bytes, int bank) {
    rawWrites_.push_back({bank, address, bytes});
    return *this;
}

RemoteImageBuilder& RemoteImageBuilder::Word(int address, int value, int bank) {
    return Bytes(
        address,
        {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF)},
        bank);
}

int RemoteImageBuilder::StoredPointerWord(RemoteTable table) const {
    const Placement& p = placements_.at(table);
    if (p.rawWord)
        return *p.rawWord;
    if (p.form == PointerForm::kBiased) {
        const int word = p.address + bias_;
        if (p.address < 0 || word > 0xFFFF)
            throw std::invalid_argument("table cannot be stored biased at this address");
        return word;
    }
    const int word = p.address - directory_;
    if (word < 0 || word >= bias_)
        throw std::invalid_argument("table cannot be stored relative at this address");
    return word;
}

int RemoteImageBuilder::KeyEntryAddress(int slot) const {
    return TableAddress(RemoteTable::kKeyTable) + kKeyEntryBytes * slot;
}

int RemoteImageBuilder::TableAddress(RemoteTable table) const {
    const Placement& p = placements_.at(table);
    if (!p.rawWord)
        return p.address;
    const int word = *p.rawWord;
    return word >= bias_ ? word - bias_ : word + directory_;
}

ByteList RemoteImageBuilder::CodeTableBytes() const {
    const int bitmapSize = (codeAreaUnits_ + 7) / 8;
    ByteList bytes(static_cast<std::size_t>(bitmapSize + kCodeEntryBytes * codeTableCount_), 0);
    for (const auto& [index, entry] : codeEntries_) {
        if (index < 0 || index >= codeTableCount_)
            throw std::invalid_argument("code entry index past the code table count");
        for (int k = 0; k < kCodeEntryBytes; ++k)
            bytes[static_cast<std::size_t>(bitmapSize + kCodeEntryBytes * index + k)] = entry[k];
        const int word = entry[3] | (entry[4] << 8);
        if ((word & 0x8000) == 0 || bitmap_)
            continue;
        const int first = word & 0x7FFF;
        for (int unit = first; unit < first + entry[5] && unit < 8 * bitmapSize; ++unit)
            bytes[static_cast<std::size_t>(unit / 8)] |=
                static_cast<std::uint8_t>(0x80 >> (unit % 8));
    }
    if (bitmap_)
        for (std::size_t i = 0; i < bitmap_->size() && i < static_cast<std::size_t>(bitmapSize);
             ++i)
            bytes[i] = (*bitmap_)[i];
    return bytes;
}

void RemoteImageBuilder::LayOut(std::vector<std::uint8_t>& bank) const {
    Put(bank, kInfoAddress, identity_);
    Put(bank, kInfoAddress + kInterfaceOffset,
        {static_cast<std::uint8_t>(major_), static_cast<std::uint8_t>(minor_), 0x00,
         static_cast<std::uint8_t>(modelHigh_), static_cast<std::uint8_t>(modelLow_)});

    PutWord(bank, kConfigAddress + kDirectoryAddressOffset, directory_);
    PutWord(bank, kConfigAddress + kPointerBiasOffset, bias_);
    Put(bank, kConfigAddress + kMemoryBankOffset, {static_cast<std::uint8_t>(memoryBank_)});

    const int keyEntryCount = keyEntryCount_ ? *keyEntryCount_ : static_cast<int>(keyCodes_.size());
    PutWord(bank, directory_ + kKeyEntryCountOffset, keyEntryCount);
    Put(bank, directory_ + kCodeTableCountOffset, {static_cast<std::uint8_t>(codeTableCount_)});
    PutWord(bank, directory_ + kCodeAreaUnitsOffset, codeAreaUnits_);
    PutWord(bank, directory_ + kKeyTablePointerOffset, StoredPointerWord(RemoteTable::kKeyTable));
    PutWord(bank, directory_ + kBuiltinListPointerOffset,
            StoredPointerWord(RemoteTable::kBuiltinList));
    PutWord(bank, directory_ + kCodeTablePointerOffset, StoredPointerWord(RemoteTable::kCodeTable));
    PutWord(bank, directory_ + kCodeAreaPointerOffset, StoredPointerWord(RemoteTable::kCodeArea));
    ByteList keyList{static_cast<std::uint8_t>(keyCodes_.size())};
    for (int code : keyCodes_)
        keyList.push_back(static_cast<std::uint8_t>(code));
    Put(bank, directory_ + kKeyCodeListOffset, keyList);

    for (const auto& [slot, entry] : keyEntries_)
        Put(bank, KeyEntryAddress(slot), entry);

    Put(bank, TableAddress(RemoteTable::kCodeTable), CodeTableBytes());
    const int codeArea = TableAddress(RemoteTable::kCodeArea);
    for (const auto& [firstUnit, data] : codeData_)
        Put(bank, codeArea + kUnitBytes * firstUnit, data);

    const int builtinList = TableAddress(RemoteTable::kBuiltinList);
    PutWord(bank, builtinList,
            builtinCount_ ? *builtinCount_ : static_cast<int>(builtinIds_.size()));
    for (std::size_t i = 0; i < builtinIds_.size(); ++i) {
        ByteList record = IdBytes(builtinIds_[i]);
        record.resize(kBuiltinRecordBytes, 0);
        Put(bank, builtinList + 2 + kBuiltinRecordBytes * static_cast<int>(i), record);
    }
}

RemoteImage RemoteImageBuilder::Build() const {
    RemoteImage image;
    image.version = version_;
    std::vector<std::uint8_t>& startup = image.Bank(kStartupBank);
    LayOut(startup);
    // Later reads and writes go to the bank the config block names; it holds the same tables.
    if (memoryBank_ != kStartupBank)
        image.Bank(memoryBank_) = startup;
    for (const RawWrite& w : rawWrites_)
        Put(image.Bank(w.bank), w.address, w.bytes);
    return image;
}
