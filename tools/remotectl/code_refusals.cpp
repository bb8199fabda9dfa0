#include "tools/remotectl/code_refusals.h"

#include "ircapture/ir_capture_text.h"

std::string CarrierRefusal(std::uint32_t carrierHz) {
    if (carrierHz == 0)
        return "the code is unmodulated, and the remote sends only codes with a carrier";
    if (carrierHz < ir_capture::kLowestLearnedCarrierHz ||
        carrierHz > ir_capture::kHighestLearnedCarrierHz)
        return "the code's carrier of " + std::to_string(carrierHz) +
               " Hz lies outside what infrared remotes use (" +
               std::to_string(ir_capture::kLowestLearnedCarrierHz / 1000) + " to " +
               std::to_string(ir_capture::kHighestLearnedCarrierHz / 1000) + " kHz)";
    return {};
}

const char* LearnProblem(LearnOutcome outcome) {
    switch (outcome) {
        case LearnOutcome::kMalformedResult:
            return "the code cannot be converted into a code the remote stores";
        case LearnOutcome::kNoKeySlot:
            return "the remote has no key entry for this key";
        case LearnOutcome::kKeyEntryNotRead:
            return "the key's entry cannot be read; nothing was written";
        case LearnOutcome::kNoFreeCodeEntry:
            return "the remote's code table is full; delete a learned key first";
        case LearnOutcome::kNoRoom:
            return "the remote's code area has no room for this code; delete a learned key first";
        case LearnOutcome::kCodeDataNotWritten:
        case LearnOutcome::kCodeTableNotWritten:
        case LearnOutcome::kKeyEntryNotWritten:
            return "the remote refused the write; the key keeps its code";
        case LearnOutcome::kKeyEntryUnknown:
            return "the remote did not confirm the write and cannot be read back: whether the "
                   "key holds the new code is not known (remotectl keys shows it)";
        case LearnOutcome::kTablesNotRead:
            return "the remote's tables cannot be read; nothing was written";
        case LearnOutcome::kLearnedDirect:
        case LearnOutcome::kLearnedExistingEntry:
        case LearnOutcome::kLearnedNewEntry:
            break;
    }
    return "";
}
