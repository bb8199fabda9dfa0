#include "release_key_entry.h"

#include <QString>
#include <optional>

#include "code_table.h"
#include "device_text.h"
#include "hex_fields.h"
#include "prompter.h"
#include "remote_map.h"
#include "slot_text.h"

namespace {

const QString kReleaseFailedText = QStringLiteral("删除操作失败！");

// The entry is read five units at a time, as the remote is asked for everything.
constexpr int kKeyEntryReadUnits = 5;

// Fields of the KeyEntry's hex text.
constexpr std::size_t kReferenceNibblePosition = 4;  // high nibble of byte 2
constexpr std::size_t kEntryIndexByte = 3;
constexpr int kPointsAtCodeEntry = 8;  // byte 2 bit 7, as its high nibble

bool PointsAtCodeEntry(const std::string& entryText) {
    if (entryText.size() <= kReferenceNibblePosition)
        return false;
    return HexNumber(entryText.substr(kReferenceNibblePosition, 1)).value_or(0) >=
           kPointsAtCodeEntry;
}

// Frees the code-table entry `entryIndex` (two upper-case hex digits, or empty when the
// KeyEntry's byte is not hex) unless another key still points at it. The region is written back
// whole; the map follows the remote only when the remote took the write.
void ReleaseCodeEntry(RemoteMap& map, DeviceLibrary& device, const std::string& keyCode,
                      const std::string& entryIndex) {
    if (CodeEntryUsedByOtherKey(map.keySlots, keyCode, entryIndex))
        return;
    // An index that is not hex matches no entry; like an index past the table, it frees
    // nothing and the region goes back unchanged.
    const int index = HexNumber(entryIndex).value_or(-1);
    const CodeTableState state = WithCodeEntryReleased(map, index);
    const std::string region = PackCodeAreaBitmap(state.codeAreaBitmap) + state.codeTableText;
    if (WriteHexText(device, map.codeTableAddress, map.memoryBank, region)) {
        map.codeAreaBitmap = state.codeAreaBitmap;
        map.codeTableText = state.codeTableText;
    }
}

}  // namespace

bool ReleaseKeyEntry(RemoteMap& map, DeviceLibrary& device, Prompter& prompter, int slotIndex,
                     const std::string& keyCode) {
    // A slot past the key table has no entry of its own: writing there would hit whatever
    // follows the table.
    if (slotIndex < 0 || slotIndex >= map.keyEntryCount) {
        prompter.Information(kReleaseFailedText, kPromptCaption);
        return false;
    }
    const int address = map.keyTableAddress + kKeyEntryBytes * slotIndex;
    const std::string entryText =
        ReadUnitsText(device, address, kKeyEntryReadUnits, map.memoryBank, kSmallReadBufferSize)
            .substr(0, kKeyEntryHexChars);
    // Without the entry there is no telling which code-table entry the key holds, so nothing
    // is written on a guess.
    if (entryText.empty()) {
        prompter.Information(kReleaseFailedText, kPromptCaption);
        return false;
    }
    // While the key may still hold its code, its code-table entry must stay in use.
    if (!WriteHexText(device, address, map.memoryBank, "00")) {
        prompter.Information(kReleaseFailedText, kPromptCaption);
        return false;
    }
    // The slots hold the index in upper case, as start-up wrote it; the remote may answer in
    // either case, and a shared entry must still be recognised as shared.
    if (PointsAtCodeEntry(entryText))
        ReleaseCodeEntry(map, device, keyCode,
                         HexBytesAt(entryText, kEntryIndexByte, 1).value_or(std::string()));
    return true;
}
