// korvex: list cameras, show one, snap a frame, stream with statistics or record raw frames,
// through the adapter's public interface alone.
#include <cctype>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "exit_status.h"
#include "platform.h"
#include "suggestion.h"

namespace {

using namespace korvex::cli;

constexpr const char* kExitCodes =
    "Exit codes: 0 done, 2 usage error (bad command, option or value), 3 camera error (camera missing,\n"
    "setting refused, no frame, stopped delivering), 4 I/O error (file or folder not written, with the\n"
    "system's reason), 130 record abandoned by Ctrl-C, 1 fault of the tool itself. Without a command,\n"
    "korvex lists the cameras.";

struct LogOptions {
    std::string filter;  // KORVEX_LOG, e.g. debug or capture:trace,*:warn
    std::string file;    // KORVEX_LOG_FILE
};

// The adapter reads the log variables at its first call that needs them: set them before any.
void PassLogSettings(const LogOptions& log) {
    if (!log.filter.empty()) SetEnvironment("KORVEX_LOG", log.filter);
    if (!log.file.empty()) SetEnvironment("KORVEX_LOG_FILE", log.file);
}

int Run(const std::vector<Command>& commands) {
    try {
        bool ranOne = false;
        for (const auto& command : commands) {
            if (!command.parser->parsed()) continue;
            command.run();
            ranOne = true;
        }
        if (!ranOne) {
            RunList(false);
            std::fprintf(stderr, "korvex: run korvex --help for the commands and their options\n");
        }
        return kExitOk;
    } catch (const CliError& error) {
        std::fprintf(stderr, "korvex: %s\n", error.what());
        return error.code();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "korvex: unexpected fault: %s\n", error.what());
        return kExitUnexpected;
    }
}

std::vector<std::string> NamesOf(const CLI::App& parser) {
    std::vector<std::string> names;
    for (const CLI::Option* option : parser.get_options()) {
        for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    }
    for (const CLI::App* command : parser.get_subcommands({})) names.push_back(command->get_name());
    return names;
}

// The command being parsed, or the tool itself before one.
const CLI::App& ParsedCommand(const CLI::App& tool, const std::vector<Command>& commands) {
    for (const auto& command : commands) {
        if (command.parser->parsed()) return *command.parser;
    }
    return tool;
}

// The first argument nobody took; a command's unknown options fall through to the tool.
std::string FirstUnexpected(const CLI::App& tool, const CLI::App& parser) {
    std::vector<std::string> extras = parser.remaining();
    if (extras.empty()) extras = tool.remaining();
    return extras.empty() ? std::string() : extras.front();
}

// A mistyped command or option of the command being parsed, with the closest name there is.
int ReportUnexpected(const CLI::App& tool, const std::vector<Command>& commands) {
    const CLI::App& parser = ParsedCommand(tool, commands);
    const bool atTop = &parser == &tool;
    const std::string typed = FirstUnexpected(tool, parser);
    const bool isOption = typed.rfind("-", 0) == 0;
    std::string message = std::string(isOption ? "unknown option '"
                                      : atTop  ? "unknown command '"
                                               : "unexpected argument '") +
                          typed + "'" + (atTop ? "" : " for " + parser.get_name());
    std::vector<std::string> names = NamesOf(parser);
    if (!atTop) names.insert(names.end(), {"--log", "--log-file"});
    const std::string closest = ClosestName(typed.substr(0, typed.find('=')), names);
    if (!closest.empty()) message += "; did you mean " + closest + "?";
    std::fprintf(stderr, "korvex: %s (korvex%s --help lists them)\n", message.c_str(),
                 atTop ? "" : (" " + parser.get_name()).c_str());
    return kExitUsage;
}

// A refusal of the parser in the tool's style: one line that names the option, says what was wrong
// and points at the help that lists the valid values. A count of values gets the option's form.
int ReportParseError(const CLI::App& tool, const std::vector<Command>& commands, const CLI::ParseError& error) {
    const CLI::App& parser = ParsedCommand(tool, commands);
    std::string message = error.what();
    const auto colon = message.find(": ");
    const CLI::Option* option =
        colon == std::string::npos ? nullptr : parser.get_option_no_throw(message.substr(0, colon));
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr && option != nullptr) {
        std::string count = message.substr(colon + 2);
        if (!count.empty()) count[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(count[0])));
        const std::string form = option->get_type_name();  // "X,Y:INT in [0 - 32767]": the form alone
        message = message.substr(0, colon) + " takes " + form.substr(0, form.find(':')) + ": " + count;
    }
    const std::string command = &parser == &tool ? "" : " " + parser.get_name();
    std::fprintf(stderr, "korvex: %s (korvex%s --help lists the valid values)\n", message.c_str(), command.c_str());
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    RouteMessagesToStandardError();
    CLI::App tool{"Lists cameras, shows one, snaps a frame, streams with statistics or records raw frames.", "korvex"};
    tool.footer(kExitCodes);
    tool.set_version_flag("--version", KORVEX_VERSION);
    tool.require_subcommand(0, 1);
    LogOptions log;
    tool.fallthrough();  // --log and --log-file also after the command
    tool.add_option("--log", log.filter,
                    "Turn on the adapter's diagnostic log (sets KORVEX_LOG): a level (error, warn, info, debug, trace) "
                    "or per domain, e.g. capture:trace,*:warn")
        ->type_name("LEVELS");
    tool.add_option("--log-file", log.file, "Write the diagnostic log into this file (sets KORVEX_LOG_FILE)")
        ->type_name("PATH");
    const std::vector<Command> commands = {AddListCommand(tool), AddInfoCommand(tool), AddSnapCommand(tool),
                                           AddStreamCommand(tool), AddRecordCommand(tool)};
    try {
        tool.parse(argc, argv);
    } catch (const CLI::ExtrasError&) {
        return ReportUnexpected(tool, commands);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return tool.exit(error);  // --help, --version
        return ReportParseError(tool, commands, error);
    }
    PassLogSettings(log);
    return Run(commands);
}
