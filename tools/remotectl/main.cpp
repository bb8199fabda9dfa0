// remotectl: the remote from the command line, through the same device library and learning
// code as the window.
#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <iostream>
#include <map>
#include <string>

#include "common/command_line.h"
#include "tools/remotectl/commands.h"

namespace {

constexpr char kDescription[] =
    "The remote from the command line: its keys and what they send, learning and programming\n"
    "a key, trying a key through an infrared transmitter, backup and restore, export, and\n"
    "import from a code collection's file. It works through keylearn's device library, so on\n"
    "real hardware exactly as on remote-sim; a command that changes the remote is refused while\n"
    "another program (keylearn, another remotectl) is using it.";

}  // namespace

int Fail(const std::string& message) {
    std::cerr << "remotectl: " << message << '\n';
    return 1;
}

int UsageError(const std::string& message) {
    std::cerr << "remotectl: " << message << "\nRun with --help for more information.\n";
    return 2;
}

int main(int argc, char** argv) {
    // The converter is loaded from the program's folder, which Qt finds for the program.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QCoreApplication qt(qtArgc, qtArgv);
    // The files remotectl keeps (the diagnostic copy 123.txt) are keylearn's own: in keylearn's
    // data folder, where the window and a support person look for them.
    QCoreApplication::setApplicationName(QStringLiteral("keylearn"));

    CLI::App app(kDescription, "remotectl");
    command_line::Prepare(app, "remotectl");
    std::map<std::string, CommandRun> runs;
    auto add = [&](const char* name, const char* summary, CommandRun (*define)(CLI::App&)) {
        runs[name] = define(*app.add_subcommand(name, summary));
    };
    add("info", "Model, identity, versions, keys and the code table's use", DefineInfo);
    add("keys", "One line per key: its function, state, how its code is held and what it sends",
        DefineKeys);
    add("learn", "Learns the next code fired at the remote into KEY, as keylearn does",
        DefineLearn);
    add("program", "Gives KEY a protocol's code (or a Pronto code) without a second remote",
        DefineProgram);
    add("send", "Sends what KEY holds through an infrared transmitter (a LIRC device) or a FIFO",
        DefineSend);
    add("delete", "Takes the learned code off KEY, as keylearn's delete does", DefineDelete);
    add("clear", "Takes every learned code off the remote, as keylearn's clear does", DefineClear);
    add("backup", "Saves the remote's keys, code table and code area to FILE", DefineBackup);
    add("restore", "Puts a backup back on the remote it came from", DefineRestore);
    add("export", "Every key's code as Pronto hex, protocol text, a Flipper file or a lircd.conf",
        DefineExport);
    add("import",
        "Programs the keys from a code collection's file (Flipper, lircd.conf, CSV, Pronto), "
        "matched by name",
        DefineImport);
    add("check", "Checks the remote's key and code tables for consistency", DefineCheck);
    add("repair", "Frees code-table entries in use that no key points at (check lists them)",
        DefineRepair);
    return command_line::Run(app, runs, argc, argv);
}
