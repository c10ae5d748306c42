// The subcommands: each adds itself to the parser and hands back what to run once parsing is done.
#pragma once

#include <functional>

#include <CLI/CLI.hpp>

namespace korvex::cli {

struct Command {
    CLI::App* parser;
    std::function<void()> run;  // throws CliError
};

Command AddListCommand(CLI::App& tool);
Command AddInfoCommand(CLI::App& tool);
Command AddSnapCommand(CLI::App& tool);
Command AddStreamCommand(CLI::App& tool);
Command AddRecordCommand(CLI::App& tool);

// What `korvex list` runs; also what `korvex` alone runs.
void RunList(bool json);

}  // namespace korvex::cli
