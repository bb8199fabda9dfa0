// remotectl import: the keys of the remote programmed from a code collection's file. The file
// is read whole first (a malformed one changes nothing), its buttons are matched to the
// remote's keys by name (common/remote_keys.h) or by --map, and the plan says where each code
// goes; then, under the lock taken before the tables were read, each key is programmed in turn
// through the same crash-safe write as remotectl program. A key that does not fit is reported
// and the others go on.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <set>

#include "common/remote_keys.h"
#include "converter/code_collection.h"
#include "converter/ir_decode.h"
#include "converter/protocol_text_file.h"
#include "ircapture/bounded_input.h"
#include "ircapture/ir_capture_text.h"
#include "learning/import_plan.h"
#include "learning/key_slots.h"
#include "tools/remotectl/code_refusals.h"
#include "tools/remotectl/command_session.h"
#include "tools/remotectl/commands.h"
#include "tools/remotectl/key_report.h"

namespace {

// A code collection's file is a few MiB at most; the big public ones split theirs per device.
constexpr std::size_t kMaxImportInput = 16 * 1024 * 1024;

struct ImportArguments {
    std::string file;
    std::string format;  // empty: told by the file's look
    std::string remote;
    std::vector<std::string> maps;
    bool dryRun = false;
};

// What becomes of one button of the file.
struct ButtonPlan {
    const quorvel::CollectionButton* button = nullptr;
    std::optional<KeyCode> key;
    std::string sends;    // the protocol text, or "raw N durations"
    std::string refusal;  // why the button is not programmed, before any plan of the remote
    quorvel::Durations signal;
    std::optional<PlannedKey> planned;
    bool Programmable() const { return key && refusal.empty(); }
};

bool RemoteHasKey(const RemoteMap& map, KeyCode key) {
    return FindKeySlot(map.keySlots, key).has_value();
}

// The key a name means: a function or a name of it, else two hex digits of a key code.
std::optional<KeyCode> KeyMeant(const std::string& name) {
    if (const remote_keys::RemoteKey* key = remote_keys::KeyNamed(name))
        return static_cast<KeyCode>(key->code);
    if (name.size() == 2)
        return KeyCodeTyped(name);
    return std::nullopt;
}

std::string KeyText(KeyCode key) {
    return KeyCodeText(key) + " " + KeyFunction(key);
}

std::string SendsText(const quorvel::Rendered& signal) {
    if (const std::optional<quorvel::Decoded> decoded =
            quorvel::Decode(signal.durations, signal.carrierHz))
        return quorvel::ProtocolText(*decoded);
    return "raw " + std::to_string(signal.durations.size()) + " durations";
}

std::string PlacementText(const PlannedKey& planned) {
    using Status = PlannedKey::Status;
    switch (planned.status) {
        case Status::kFits: {
            const CodePlacement& placement = planned.placement;
            if (placement.form == CodeHolding::kDirect)
                return "direct " + planned.codeIdText;
            const std::string entry = KeyCodeText(placement.entryIndex);
            if (!placement.newEntry)
                return "entry " + entry + " (shared)";
            return "new entry " + entry + ", " + std::to_string(placement.unitCount) +
                   (placement.unitCount == 1 ? " unit " : " units ") +
                   std::to_string(placement.firstUnit) +
                   (placement.unitCount == 1
                        ? ""
                        : "-" + std::to_string(placement.firstUnit + placement.unitCount - 1)) +
                   (planned.afterReclaiming ? " (after reclaiming the leaked entries)" : "");
        }
        case Status::kNoFreeCodeEntry:
            return "does not fit: no code-table entry is free";
        case Status::kNoRoom:
            return "does not fit: the code area has no room for it";
        case Status::kNotConvertible:
            return "cannot be stored: the converter gives no code the remote keeps";
        case Status::kNoConverter:
            return "cannot be stored: the converter (libquorvel) is missing or failed";
    }
    return "";
}

std::string Padded(std::string text, std::size_t width) {
    text.resize(std::max(text.size() + 2, width), ' ');
    return text;
}

// The buttons of the file the import is about, or the complaint (exit status in the pair).
struct ReadButtons {
    std::vector<quorvel::CollectionButton> buttons;
    quorvel::CollectionFormat format = quorvel::CollectionFormat::kFlipper;
};

std::optional<ReadButtons> ReadFile(const ImportArguments& args, int& status) {
    std::string text, error;
    if (!bounded_input::ReadInput(args.file, kMaxImportInput, bounded_input::Extent::kWhole, text,
                                  error)) {
        status = Fail(error);
        return std::nullopt;
    }
    ReadButtons read;
    if (!args.format.empty()) {
        read.format = *quorvel::CollectionFormatNamed(args.format);
    } else if (const auto detected = quorvel::DetectCollectionFormat(text)) {
        read.format = *detected;
    } else {
        status = Fail(bounded_input::InputName(args.file) +
                      " is not a file remotectl import knows (a Flipper .ir file, a lircd.conf, a "
                      "protocol CSV or names and Pronto codes); give --format if it is one");
        return std::nullopt;
    }
    quorvel::CollectionReading reading = quorvel::ReadCollection(text, read.format);
    if (!reading) {
        status = Fail(bounded_input::InputName(args.file) + ": " + ProblemText(reading.Problem()) +
                      "; nothing was written");
        return std::nullopt;
    }
    std::set<std::string> remotes;
    for (quorvel::CollectionButton& button : *reading) {
        remotes.insert(button.remote);
        if (args.remote.empty() || button.remote == args.remote)
            read.buttons.push_back(std::move(button));
    }
    if (!args.remote.empty() && read.buttons.empty()) {
        status = UsageError(read.format == quorvel::CollectionFormat::kLircd
                                ? "the file has no remote named " + args.remote
                                : "--remote chooses among a lircd.conf's remotes");
        return std::nullopt;
    }
    if (args.remote.empty() && remotes.size() > 1) {
        std::string names;
        for (const std::string& name : remotes)
            names += (names.empty() ? "" : ", ") + name;
        status = UsageError("the file holds the remotes " + names + ": choose one with --remote");
        return std::nullopt;
    }
    return read;
}

// The --map words: button to key (none: the button is left out); or the complaint.
Result<std::map<std::string, std::optional<KeyCode>>> ReadMaps(
    const std::vector<std::string>& maps, const std::vector<quorvel::CollectionButton>& buttons) {
    std::map<std::string, std::optional<KeyCode>> read;
    for (const std::string& word : maps) {
        const std::size_t equals = word.rfind('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == word.size())
            return Failure(
                "--map is BUTTON=KEY (KEY a key's function or two hex digits, or - to "
                "leave the button out), not " +
                word);
        const std::string button = word.substr(0, equals);
        const std::string keyText = word.substr(equals + 1);
        if (std::none_of(buttons.begin(), buttons.end(),
                         [&](const auto& b) { return b.name == button; }))
            return Failure("--map " + word + ": the file has no button " + button);
        if (read.count(button))
            return Failure("--map gives the button " + button + " twice");
        if (keyText == "-") {
            read[button] = std::nullopt;
            continue;
        }
        const std::optional<KeyCode> key = keyText.size() == 2 && KeyCodeTyped(keyText)
                                               ? KeyCodeTyped(keyText)
                                               : KeyMeant(keyText);
        if (!key)
            return Failure("--map " + word + ": no key is named " + keyText);
        read[button] = key;
    }
    return read;
}

// Each button's key and signal, before the remote's tables are asked.
std::vector<ButtonPlan> MatchButtons(const std::vector<quorvel::CollectionButton>& buttons,
                                     const std::map<std::string, std::optional<KeyCode>>& maps,
                                     const RemoteMap& map) {
    std::vector<ButtonPlan> plans;
    std::map<KeyCode, std::string> given;  // key -> the button that has it
    for (const quorvel::CollectionButton& button : buttons) {
        ButtonPlan plan;
        plan.button = &button;
        const auto mapped = maps.find(button.name);
        if (mapped != maps.end() && !mapped->second) {
            plan.refusal = "left out (--map)";
        } else {
            plan.key = mapped != maps.end() ? mapped->second : KeyMeant(button.name);
            if (!plan.key)
                plan.refusal = "no key of the remote has this name (--map " + button.name +
                               "=KEY gives it one)";
            else if (!RemoteHasKey(map, *plan.key))
                plan.refusal = "the remote has no key " + KeyCodeText(*plan.key);
            else if (const auto other = given.find(*plan.key); other != given.end())
                plan.refusal =
                    "key " + KeyCodeText(*plan.key) + " is given to " + other->second + " already";
        }
        if (plan.key && plan.refusal.empty())
            given[*plan.key] = button.name;
        const std::optional<quorvel::Rendered> rendered = quorvel::RenderButton(button.signal);
        if (!rendered) {
            plan.sends = button.signal.fileProtocol;
            if (plan.refusal.empty())
                plan.refusal = "cannot be sent: " + button.signal.unsendable;
        } else {
            plan.sends = SendsText(*rendered);
            plan.signal = rendered->durations;
            const std::uint32_t carrier = rendered->carrierHz;
            std::string refusal = CarrierRefusal(carrier);
            if (refusal.empty() && !ir_capture::FitsCaptureBuffer(rendered->durations))
                refusal = "the signal is too long for the remote's capture buffer";
            if (!refusal.empty() && plan.refusal.empty())
                plan.refusal = "cannot be sent: " + refusal;
        }
        plans.push_back(std::move(plan));
    }
    return plans;
}

void PrintPlan(const std::vector<ButtonPlan>& plans, const RemoteMap& map, const std::string& file,
               quorvel::CollectionFormat format) {
    std::cout << file << ": " << plans.size() << (plans.size() == 1 ? " button" : " buttons")
              << " (" << quorvel::CollectionFormatName(format) << ")\n";
    std::size_t nameWidth = 8;
    for (const ButtonPlan& plan : plans)
        nameWidth = std::max(nameWidth, plan.button->name.size() + 2);
    int planned = 0, fitting = 0, newEntries = 0, units = 0;
    for (const ButtonPlan& plan : plans) {
        std::string line = Padded(plan.button->name, nameWidth) + "-> ";
        line += Padded(plan.key ? KeyText(*plan.key) : "-", 14);
        line += Padded(plan.sends, 30);
        if (plan.planned) {
            ++planned;
            line += PlacementText(*plan.planned);
            if (plan.planned->status == PlannedKey::Status::kFits) {
                ++fitting;
                newEntries += plan.planned->placement.newEntry;
                units += plan.planned->placement.unitCount;
            }
        } else {
            line += plan.refusal;
        }
        std::cout << line << '\n';
    }
    std::cout << "plan: " << planned << (planned == 1 ? " key" : " keys") << " to program, "
              << fitting << " fit";
    if (planned > fitting)
        std::cout << ", " << planned - fitting << " do not";
    const int reclaimable = ReclaimableCodeEntries(map);
    std::cout << "; code table " << FreeCodeEntries(map) << " of " << map.codeTable.size()
              << " entries free"
              << (reclaimable > 0 ? " (and " + std::to_string(reclaimable) +
                                        " in use that no key points at, reclaimed when needed)"
                                  : "")
              << ", " << newEntries << " needed; code area " << FreeCodeUnits(map) << " of "
              << map.codeAreaUnits << " units free, " << units << " needed\n";
}

int RunImport(const ImportArguments& args) {
    int status = 0;
    const std::optional<ReadButtons> read = ReadFile(args, status);
    if (!read)
        return status;
    const auto maps = ReadMaps(args.maps, read->buttons);
    if (!maps)
        return UsageError(maps.Problem());
    if (read->buttons.empty())
        return Fail(bounded_input::InputName(args.file) + " holds no buttons");

    // The plan is made on tables read under the lock the writes keep; a dry run takes it too,
    // so that its plan is the one the import would carry out (leaked entries reclaimed only
    // under the lock).
    const std::unique_ptr<CommandSession> session = OpenRemote(LockMode::kHold);
    if (!session)
        return 1;
    std::vector<ButtonPlan> plans = MatchButtons(read->buttons, *maps, session->Map());
    std::vector<ImportRequest> requests;
    for (const ButtonPlan& plan : plans) {
        if (plan.Programmable())
            requests.push_back({*plan.key, plan.signal});
    }
    const std::vector<PlannedKey> planned = session->Session().PlanImport(requests);
    std::size_t next = 0;
    for (ButtonPlan& plan : plans) {
        if (plan.Programmable())
            plan.planned = planned[next++];
    }
    PrintPlan(plans, session->Map(), bounded_input::InputName(args.file), read->format);
    // Buttons matched to a key that cannot go there count against the import; buttons of keys
    // this remote lacks do not.
    int keys = 0, unsent = 0;
    for (const ButtonPlan& plan : plans) {
        const bool matched = plan.key && plan.refusal.rfind("cannot be sent", 0) == 0;
        keys += plan.Programmable() || matched;
        unsent += matched || (plan.planned && plan.planned->status != PlannedKey::Status::kFits);
    }
    if (args.dryRun) {
        if (unsent > 0)
            return Fail(std::to_string(unsent) + " of " + std::to_string(keys) +
                        " keys would not be written");
        return 0;
    }

    int written = 0;
    for (const ButtonPlan& plan : plans) {
        if (!plan.Programmable())
            continue;
        const ProgramResult result = session->Session().Program(*plan.key, plan.signal);
        const std::string head = plan.button->name + " -> " + KeyText(*plan.key) + ": ";
        if (result.conversion.status != ConversionStatus::kConverted) {
            std::cout << head << "not written: the converter (libquorvel) is missing or failed\n";
            continue;
        }
        if (!result.Succeeded()) {
            std::cout << head << "not written: "
                      << LearnProblem(result.learned ? result.learned->outcome
                                                     : LearnOutcome::kMalformedResult)
                      << '\n';
            continue;
        }
        ++written;
        std::cout << head << "written\n";
        if (result.learned->previousEntryLeftInUse)
            std::cerr << "remotectl: warning: the previous code-table entry of key "
                      << KeyCodeText(*plan.key)
                      << " could not be freed (remotectl check shows it)\n";
    }
    if (written < keys)
        return Fail(std::to_string(keys - written) + " of " + std::to_string(keys) +
                    " keys were not written");
    return 0;
}

}  // namespace

CommandRun DefineImport(CLI::App& command) {
    auto args = std::make_shared<ImportArguments>();
    command.add_option("FILE", args->file, "the file (- for the standard input)")->required();
    command
        .add_option("--format", args->format,
                    "flipper, lirc (a lircd.conf), csv (a protocol database's CSV) or pronto "
                    "(a name and a Pronto code a line); default: told by the file's look")
        ->check(CLI::IsMember({"flipper", "lirc", "csv", "pronto"}));
    command.add_option("--remote", args->remote, "the remote of a lircd.conf that holds several");
    command.add_option("--map", args->maps,
                       "BUTTON=KEY: the key (its function, as remotectl keys shows it, or two hex "
                       "digits) for a button of the file, or BUTTON=- to leave it out");
    command.add_flag("--dry-run", args->dryRun,
                     "print the plan and write nothing (the remote's lock is taken while it is "
                     "made, as for the import)");
    return [args] { return RunImport(*args); };
}
