// libFuzzer target of the converter. The first byte picks what the rest is:
//   even: a normalised body for ConvertCode; whatever it gives must be empty or a record the
//         program can split, within the sizes the remote holds, that renders back;
//   odd:  a stored record (code id, two fields, code data) as a remote's memory may hold it,
//         which must render or be refused, never crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "converter/quorvel.h"
#include "converter/quorvel_record.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void FuzzBody(const std::string& body) {
    const std::string converted = ConvertCode(body.c_str(), QUORVEL_MODE);
    if (converted.empty())
        return;
    const auto record = quorvel::ParseConvertedCode(converted);
    Check(record.has_value());
    Check(record->first.size() + record->second.size() <= 16);
    Check(record->data.size() % quorvel::kUnitBytes == 0);
    Check(record->data.size() <= quorvel::kMaxDataUnits * quorvel::kUnitBytes);
    Check(!quorvel::IsShortId(record->id) || record->data.empty());
    Check(quorvel::RenderRecord(*record).has_value());
}

void FuzzRecord(const std::uint8_t* data, std::size_t size) {
    if (size < 3 + 16)
        return;
    const std::uint32_t id = (data[0] << 16) | (data[1] << 8) | data[2];
    const quorvel::Bytes first(data + 3, data + 11);
    const quorvel::Bytes second(data + 11, data + 19);
    const quorvel::Bytes code(data + 19, data + size);
    const auto rendered = quorvel::RenderRecord(id, first, second, code);
    if (rendered)
        Check(rendered->leadIn.size() == rendered->durations.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    if (data[0] % 2 == 0)
        FuzzBody(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    else
        FuzzRecord(data + 1, size - 1);
    return 0;
}
