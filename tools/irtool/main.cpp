// irtool: the program's normaliser and infrared converter for people and scripts.
#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <string>

#include "tools/irtool/commands.h"

namespace {

// Every complaint of the parser, named after the tool, with where to find the usage.
std::string FailureMessage(const CLI::App* app, const CLI::Error& error) {
    return "irtool: " + CLI::FailureMessage::simple(app, error);
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app("The program's normaliser and infrared converter on the command line.", "irtool");
    app.require_subcommand(1);
    app.failure_message(FailureMessage);
    std::map<std::string, CommandRun> runs;
    auto add = [&](const char* name, const char* summary, CommandRun (*define)(CLI::App&)) {
        CLI::App* command = app.add_subcommand(name, summary);
        runs[name] = define(*command);
    };
    add("normalise", "Cuts and normalises a raw capture, as the program does", DefineNormalise);
    add("render", "The signal of a protocol and its parameters", DefineRender);
    add("decode", "Names the protocol and parameters of each signal, one a line", DefineDecode);
    add("convert", "The record the program stores for a normalised body", DefineConvert);
    add("replay", "What a key holding a stored record sends", DefineReplay);

    if (argc < 2) {
        std::cerr << app.help();
        return 2;
    }
    // CLI11 would only say that a command is needed; name the one it does not know.
    const std::string first = argv[1];
    if (first.rfind('-', 0) != 0 && runs.count(first) == 0) {
        std::cerr << "irtool: unknown command " << first
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
