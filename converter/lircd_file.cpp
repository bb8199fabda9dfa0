#include "converter/lircd_file.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace quorvel {
namespace {

// The silence after a signal's last pulse that a lircd.conf remote gives when none is known.
constexpr std::int32_t kUsualGapUs = 100000;
constexpr std::size_t kDurationsPerLine = 8;

}  // namespace

std::string WriteLircdFile(const std::string& remoteName,
                           const std::vector<NamedSignal>& namedSignals) {
    // Carriers in the order the signals first use them.
    std::vector<std::uint32_t> carriers;
    for (const NamedSignal& named : namedSignals) {
        const std::uint32_t carrier =
            named.signal.carrierHz != 0 ? named.signal.carrierHz : kUsualCarrierHz;
        if (std::find(carriers.begin(), carriers.end(), carrier) == carriers.end())
            carriers.push_back(carrier);
    }
    std::string text;
    for (std::size_t c = 0; c < carriers.size(); ++c) {
        std::vector<const NamedSignal*> members;
        std::int32_t gap = 0;
        for (const NamedSignal& named : namedSignals) {
            const std::uint32_t carrier =
                named.signal.carrierHz != 0 ? named.signal.carrierHz : kUsualCarrierHz;
            if (carrier != carriers[c])
                continue;
            members.push_back(&named);
            if (!named.signal.durations.empty() && named.signal.durations.back() < 0)
                gap = std::max(gap, -named.signal.durations.back());
        }
        text += "begin remote\n  name  " + remoteName +
                (c == 0 ? "" : "_" + std::to_string(carriers[c])) +
                "\n  flags RAW_CODES\n  eps   30\n  aeps  100\n  frequency " +
                std::to_string(carriers[c]) + "\n  gap   " +
                std::to_string(gap != 0 ? gap : kUsualGapUs) + "\n  begin raw_codes\n";
        for (const NamedSignal* named : members) {
            Durations durations = named->signal.durations;
            if (!durations.empty() && durations.back() < 0)
                durations.pop_back();
            text += "    name " + named->name + '\n';
            for (std::size_t i = 0; i < durations.size(); ++i) {
                text += i % kDurationsPerLine == 0 ? "      " : " ";
                text += std::to_string(std::abs(static_cast<long long>(durations[i])));
                if (i % kDurationsPerLine == kDurationsPerLine - 1 || i + 1 == durations.size())
                    text += '\n';
            }
        }
        text += "  end raw_codes\nend remote\n";
    }
    return text;
}

}  // namespace quorvel
