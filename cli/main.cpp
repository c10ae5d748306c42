// korvex: list cameras, show one, snap a frame, stream with statistics or record raw frames,
// through the adapter's public interface alone.
#include <cstdio>
#include <exception>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "exit_status.h"
#include "quiet_messages.h"

namespace {

constexpr const char* kExitCodes =
    "Exit codes: 0 done, 2 usage error (bad command, option or value), 3 camera error (camera missing,\n"
    "setting refused, no frame), 4 I/O error (file or folder not written), 1 fault of the tool itself.";

int Run(const std::vector<korvex::cli::Command>& commands) {
    using korvex::cli::CliError;
    try {
        for (const auto& command : commands) {
            if (command.parser->parsed()) command.run();
        }
        return korvex::cli::kExitOk;
    } catch (const CliError& error) {
        std::fprintf(stderr, "korvex: %s\n", error.what());
        return error.code();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "korvex: unexpected fault: %s\n", error.what());
        return korvex::cli::kExitUnexpected;
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace korvex::cli;
    RouteMessagesToStandardError();
    CLI::App tool{"Lists cameras, shows one, snaps a frame, streams with statistics or records raw frames.", "korvex"};
    tool.footer(kExitCodes);
    tool.set_version_flag("--version", KORVEX_VERSION);
    tool.require_subcommand(1);
    const std::vector<Command> commands = {AddListCommand(tool), AddInfoCommand(tool), AddSnapCommand(tool),
                                           AddStreamCommand(tool), AddRecordCommand(tool)};
    try {
        tool.parse(argc, argv);
    } catch (const CLI::RequiredError& error) {
        // "korvex bogus" lacks a subcommand because bogus is none: name it.
        if (!tool.remaining().empty()) {
            std::fprintf(stderr, "korvex: unknown command '%s'; run korvex --help for the list\n",
                         tool.remaining().front().c_str());
            return kExitUsage;
        }
        return tool.exit(error) == 0 ? kExitOk : kExitUsage;
    } catch (const CLI::ParseError& error) {
        return tool.exit(error) == 0 ? kExitOk : kExitUsage;
    }
    return Run(commands);
}
