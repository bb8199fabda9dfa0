// libFuzzer target: any text read as a backup is refused with one of the reader's problems or
// gives a backup whose regions lie inside the 64 KiB memory, and a backup that is read back
// writes out as a file that reads back the same.
//
// The checksum would stop almost every input at its line, so the input is the text above the
// checksum, signed here as remotectl signs a backup, unless its first byte is odd: then the
// input is the whole file as it is, so that the checksum's own reading is fuzzed too.
#include <QByteArray>
#include <QCryptographicHash>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "learning/backup_file.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

std::string Signed(std::string_view body) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArrayView(body.data(), static_cast<qsizetype>(body.size())),
                                 QCryptographicHash::Sha256);
    return std::string(body) + "sha256 " + hash.toHex().toUpper().toStdString() + "\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > kMaxBackupFileBytes)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string text = (data[0] & 1) != 0 ? std::string(input) : Signed(input);
    const BackupReading reading = ParseBackup(text);
    Check(reading.backup.has_value() == (reading.problem == BackupProblem::kNone));
    Check(reading.problem != BackupProblem::kMalformed || reading.line >= 1);
    if (!reading.backup)
        return 0;
    Check(reading.backup->model.size() == 4 && reading.backup->identity.size() == 30);
    Check(reading.backup->regions.regions.size() == 3);
    for (const MemoryRegion& region : reading.backup->regions.regions)
        Check(region.address + region.bytes.size() <= 0x10000);
    const BackupReading again = ParseBackup(FormatBackup(*reading.backup));
    Check(again.problem == BackupProblem::kNone && again.backup->model == reading.backup->model &&
          again.backup->identity == reading.backup->identity &&
          again.backup->regions == reading.backup->regions);
    return 0;
}
