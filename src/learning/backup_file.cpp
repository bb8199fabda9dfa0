#include "learning/backup_file.h"

#include <QCryptographicHash>
#include <charconv>
#include <sstream>
#include <vector>

#include "device/device_text.h"
#include "device/hex_fields.h"

namespace {

constexpr char kHeader[] = "keylearn-backup 1";
constexpr char kChecksumWord[] = "sha256 ";
constexpr std::size_t kBytesPerLine = 32;

std::string Hex(int value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

std::string Sha256(std::string_view text) {
    return QCryptographicHash::hash(
               QByteArrayView(text.data(), static_cast<qsizetype>(text.size())),
               QCryptographicHash::Sha256)
        .toHex()
        .toUpper()
        .toStdString();
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(line.find(' ', start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

std::optional<int> Decimal(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return std::nullopt;
    return value;
}

std::optional<int> HexWord(std::string_view text, std::size_t digits) {
    if (text.size() != digits)
        return std::nullopt;
    return HexNumber(text);
}

bool IsHexOf(std::string_view text, std::size_t digits) {
    return text.size() == digits && IsHexText(text);
}

// Reads the lines after the header into a backup; the line number of the first wrong line.
class Reader {
  public:
    explicit Reader(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}

    BackupReading Run() {
        BackupReading reading;
        RemoteBackup backup;
        if (!Field("model", 4, backup.model) || !Field("identity", 30, backup.identity))
            return Wrong();
        std::string bank;
        if (!Field("bank", 2, bank))
            return Wrong();
        backup.regions.bank = static_cast<MemoryBank>(*HexNumber(bank));
        for (const char* name : {kKeyTableRegion, kCodeTableRegion, kCodeAreaRegion}) {
            std::optional<MemoryRegion> region = Region(name);
            if (!region)
                return Wrong();
            backup.regions.regions.push_back(std::move(*region));
        }
        if (Next())
            return Wrong();
        reading.backup = std::move(backup);
        return reading;
    }

  private:
    // The next line that is not a comment, as words; false at the end.
    bool Next() {
        while (at_ < lines_.size()) {
            const std::string_view line = lines_[at_++];
            if (line.empty() || line.front() == '#')
                continue;
            words_ = Words(line);
            return true;
        }
        return false;
    }

    bool Field(const char* word, std::size_t digits, std::string& value) {
        if (!Next() || words_.size() != 2 || words_[0] != word || !IsHexOf(words_[1], digits))
            return false;
        value = std::string(words_[1]);
        return true;
    }

    std::optional<MemoryRegion> Region(const char* name) {
        if (!Next() || words_.size() != 4 || words_[0] != "region" || words_[1] != name)
            return std::nullopt;
        const std::optional<int> address = HexWord(words_[2], 4);
        const std::optional<int> length = Decimal(words_[3]);
        // The length is any decimal a file may hold: compared, never added to the address.
        if (!address || !length || *length > kHighestAddress + 1 - *address)
            return std::nullopt;
        MemoryRegion region{name, static_cast<MemoryAddress>(*address), {}};
        while (region.bytes.size() < static_cast<std::size_t>(*length)) {
            if (!Next() || words_.size() != 2)
                return std::nullopt;
            const std::optional<int> lineAddress = HexWord(words_[0], 4);
            const std::optional<MemoryBytes> bytes = DecodeHexBytes(words_[1]);
            const std::size_t left = static_cast<std::size_t>(*length) - region.bytes.size();
            if (!lineAddress || *lineAddress != *address + static_cast<int>(region.bytes.size()) ||
                !bytes || bytes->empty() || bytes->size() > std::min(left, kBytesPerLine))
                return std::nullopt;
            region.bytes.insert(region.bytes.end(), bytes->begin(), bytes->end());
        }
        return region;
    }

    BackupReading Wrong() const {
        BackupReading reading;
        reading.problem = BackupProblem::kMalformed;
        // The header is line 1 and the reader starts after it.
        reading.line = static_cast<int>(at_) + 1;
        return reading;
    }

    std::vector<std::string_view> lines_;
    std::size_t at_ = 0;
    std::vector<std::string_view> words_;
};

}  // namespace

std::string FormatBackup(const RemoteBackup& backup) {
    std::ostringstream text;
    text << kHeader << '\n'
         << "# The learned codes of one remote: key table, code table and code area.\n"
         << "model " << backup.model << '\n'
         << "identity " << backup.identity << '\n'
         << "bank " << Hex(static_cast<int>(backup.regions.bank), 2) << '\n';
    for (const MemoryRegion& region : backup.regions.regions) {
        text << "region " << region.name << ' ' << Hex(region.address, 4) << ' '
             << region.bytes.size() << '\n';
        for (std::size_t at = 0; at < region.bytes.size(); at += kBytesPerLine) {
            const std::size_t n = std::min(kBytesPerLine, region.bytes.size() - at);
            text << Hex(region.address + static_cast<int>(at), 4) << ' '
                 << HexBytesText(std::span(region.bytes).subspan(at, n)) << '\n';
        }
    }
    const std::string body = text.str();
    return body + kChecksumWord + Sha256(body) + '\n';
}

BackupReading ParseBackup(std::string_view text) {
    BackupReading reading;
    const std::string_view header = text.substr(0, text.find('\n'));
    if (header != kHeader) {
        reading.problem = BackupProblem::kNotABackup;
        return reading;
    }
    // The checksum is the last line, and covers everything before it.
    std::string_view rest = text;
    if (!rest.empty() && rest.back() == '\n')
        rest.remove_suffix(1);
    const std::size_t lastLine = rest.rfind('\n');
    const std::string_view checksum =
        lastLine == std::string_view::npos ? std::string_view() : rest.substr(lastLine + 1);
    if (checksum.substr(0, std::char_traits<char>::length(kChecksumWord)) != kChecksumWord ||
        !IsHexOf(checksum.substr(std::char_traits<char>::length(kChecksumWord)), 64)) {
        reading.problem = BackupProblem::kNoChecksum;
        return reading;
    }
    const std::string_view body = text.substr(0, lastLine + 1);
    if (Sha256(body) != checksum.substr(std::char_traits<char>::length(kChecksumWord))) {
        reading.problem = BackupProblem::kChecksumDiffers;
        return reading;
    }
    std::vector<std::string_view> lines;
    std::string_view afterHeader = body.substr(header.size() + 1);
    while (!afterHeader.empty()) {
        const std::size_t end = afterHeader.find('\n');
        lines.push_back(afterHeader.substr(0, end));
        afterHeader.remove_prefix(end + 1);
    }
    return Reader(std::move(lines)).Run();
}
