// irtool: the program's normaliser and infrared converter for people and scripts.
#include <CLI/CLI.hpp>
#include <iostream>
#include <map>
#include <string>

#include "common/command_line.h"
#include "tools/irtool/commands.h"

int main(int argc, char** argv) {
    CLI::App app(
        "The program's normaliser and infrared converter on the command line, and real infrared "
        "through Linux's LIRC devices.",
        "irtool");
    command_line::Prepare(app, "irtool");
    std::map<std::string, CommandRun> runs;
    auto add = [&](const char* name, const char* summary, CommandRun (*define)(CLI::App&)) {
        CLI::App* command = app.add_subcommand(name, summary);
        runs[name] = define(*command);
    };
    add("normalise", "Cuts and normalises a raw capture, as the program does", DefineNormalise);
    add("render", "The signal of a protocol and its parameters", DefineRender);
    add("decode", "Names the protocol and parameters of each signal (or each button of a file)",
        DefineDecode);
    add("convert", "The record the program stores for a normalised body", DefineConvert);
    add("replay", "What a key holding a stored record sends", DefineReplay);
    add("receive", "Prints the signals a LIRC receiver (or a recorded stream) delivers",
        DefineReceive);
    add("send", "Sends a key press through a LIRC transmitter (or into a FIFO)", DefineSend);

    return command_line::Run(app, runs, argc, argv);
}
