#pragma once
// The subcommands of remotectl. Each declares its arguments on its CLI11 subcommand and gives
// back what runs once they are parsed: the exit status (0 success, 1 a failure, 2 wrong
// usage); output goes to stdout, complaints, one line each, to stderr.

#include <functional>
#include <optional>
#include <string>

#include "device/remote_tables.h"

namespace CLI {
class App;
}

using CommandRun = std::function<int()>;

CommandRun DefineInfo(CLI::App& command);    // remotectl info [--json]
CommandRun DefineKeys(CLI::App& command);    // remotectl keys [--json]
CommandRun DefineExport(CLI::App& command);  // remotectl export [--format F]
CommandRun DefineCheck(CLI::App& command);   // remotectl check [--json]
CommandRun DefineRepair(CLI::App& command);  // remotectl repair [--wait S]
CommandRun DefineSend(CLI::App& command);    // remotectl send KEY [--device PATH]
// Each command that changes the remote also takes --wait S (command_session.h).
CommandRun DefineLearn(CLI::App& command);    // remotectl learn KEY [--timeout S]
CommandRun DefineProgram(CLI::App& command);  // remotectl program KEY PROTOCOL NAME=VALUE...
CommandRun DefineDelete(CLI::App& command);   // remotectl delete KEY
CommandRun DefineClear(CLI::App& command);    // remotectl clear
CommandRun DefineBackup(CLI::App& command);   // remotectl backup FILE
CommandRun DefineRestore(CLI::App& command);  // remotectl restore FILE [--force] [--wait S]
CommandRun DefineImport(CLI::App& command);   // remotectl import FILE [--dry-run] [--map B=K]...

// A failure: "remotectl: MESSAGE" on stderr; gives 1.
int Fail(const std::string& message);
// Wrong usage found after parsing: the same, with where to find the usage; gives 2.
int UsageError(const std::string& message);
