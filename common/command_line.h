#pragma once
// The command line of a program made of subcommands (irtool, remote-sim, remotectl): one way to
// ask for help, to be told of a command that does not exist, and to be refused for wrong usage,
// with the same exit statuses everywhere: 0 done, 1 failed, 2 wrong usage. Output that cannot be
// written is a failure too (common/standard_output.h).

#include <CLI/CLI.hpp>
#include <functional>
#include <iostream>
#include <map>
#include <string>

#include "common/standard_output.h"

namespace command_line {

using CommandRun = std::function<int()>;

// One subcommand required; every complaint of the parser named after the program, with where
// to find the usage.
inline void Prepare(CLI::App& app, const std::string& program) {
    app.require_subcommand(1);
    app.failure_message([program](const CLI::App* failed, const CLI::Error& error) {
        return program + ": " + CLI::FailureMessage::simple(failed, error);
    });
}

// Parses the command line and runs the subcommand it names; `runs` holds what each subcommand
// gave back when it was defined. No arguments show the help on standard error (wrong usage);
// `help` shows it on standard output.
inline int ParseAndRun(CLI::App& app, const std::map<std::string, CommandRun>& runs, int argc,
                       char** argv) {
    app.add_subcommand("help", "Shows this help.");
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc < 2 || first == "help") {
        (argc < 2 ? std::cerr : std::cout) << app.help();
        return argc < 2 ? 2 : 0;
    }
    // CLI11 would only say that a command is needed; name the one it does not know.
    if (first.rfind('-', 0) != 0 && runs.count(first) == 0) {
        std::cerr << app.get_name() << ": unknown command " << first
                  << "\nRun with --help for more information.\n";
        return 2;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return 2;
    }
    for (const CLI::App* command : app.get_subcommands())
        return runs.at(command->get_name())();
    return 2;
}

// The same, with the standard output checked: the status of the command, or a failure when its
// output could not be written.
inline int Run(CLI::App& app, const std::map<std::string, CommandRun>& runs, int argc,
               char** argv) {
    CheckedStandardOutput output(app.get_name());
    return output.Finish(ParseAndRun(app, runs, argc, argv));
}

}  // namespace command_line
