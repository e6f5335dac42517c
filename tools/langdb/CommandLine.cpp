#include "langdb/CommandLine.h"

#include "langdb/Csv.h"
#include "langdb/LanguageSource.h"
#include "platform/jet/Unicode.h"

#include <optional>
#include <ostream>
#include <string_view>

#ifndef ORVANE_VERSION
#define ORVANE_VERSION "unknown"
#endif

namespace langdb {

namespace {

constexpr std::string_view Program = "orvane-langdb";
constexpr std::size_t MaxPasswordLength = 20; // UTF-16 code units, as the file header holds them

struct UsageError {
    std::string message;
};

struct Command {
    std::string_view name;
    std::string_view synopsis;
    std::string_view summary;
    std::string_view details;
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal);
};

int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal);

const Command Commands[] = {
    {"build", "build SOURCE_DIR OUTPUT.mdb [--password P] [--progress]",
     "Build a language database from the CSV sources in SOURCE_DIR.",
     "Reads Languages.csv, MessageStrings.csv, FormStrings.csv and ResourceFiles.csv (UTF-8, a header\n"
     "row naming the columns) from SOURCE_DIR and writes an Access 2000 database. Nothing is written\n"
     "unless every source is valid; an existing OUTPUT.mdb is replaced only on success.\n"
     "\n"
     "  --password P   database password, at most 20 characters; --password \"\" sets none\n"
     "                 (default: the password every language database uses)\n"
     "  --progress     report progress on stderr even when it is not a terminal\n"
     "  -h, --help     show this help\n",
     RunBuild},
};

void PrintUsage(std::ostream& os) {
    os << "Usage: " << Program << " <command> [arguments]\n\nCommands:\n";
    for (const Command& c : Commands)
        os << "  " << c.synopsis << "\n      " << c.summary << "\n";
    os << "\nOptions:\n"
          "  -h, --help     show this help\n"
          "  --version      show the version\n"
          "\nRun '"
       << Program << " <command> --help' for the details of a command.\n";
}

void PrintCommandUsage(std::ostream& os, const Command& c) {
    os << "Usage: " << Program << " " << c.synopsis << "\n\n" << c.summary << "\n" << c.details;
}

int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    std::vector<std::string> positional;
    std::optional<std::string> password;
    bool progress = errIsTerminal;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            positional.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "-h" || a == "--help") {
            PrintCommandUsage(out, Commands[0]);
            return ExitOk;
        } else if (a == "--password") {
            if (i + 1 == args.size()) throw UsageError{"--password needs a value"};
            password = args[++i];
        } else if (a.starts_with("--password=")) {
            password = a.substr(std::string_view("--password=").size());
        } else if (a == "--progress") {
            progress = true;
        } else {
            throw UsageError{"unknown option '" + a + "' for build"};
        }
    }
    if (positional.size() != 2) throw UsageError{"build needs SOURCE_DIR and OUTPUT.mdb"};

    BuildOptions options;
    if (password) {
        auto utf16 = jet::Utf8ToUtf16(*password);
        if (!utf16) throw UsageError{"--password is not valid UTF-8"};
        if (utf16->size() > MaxPasswordLength)
            throw UsageError{"--password may have at most " + std::to_string(MaxPasswordLength) +
                             " characters"};
        options.password = std::move(*utf16);
    }
    if (progress) options.progress = [&err](const std::string& line) { err << line << '\n' << std::flush; };

    const std::string& output = positional[1];
    const BuildResult result = BuildLanguageDatabase(positional[0], output, options);
    for (const std::string& warning : result.warnings) err << warning << '\n';
    err << "wrote " << output << ": " << result.tables << " tables, " << result.stats.rows << " rows, "
        << result.stats.bytes << " bytes\n";
    return ExitOk;
}

const Command* FindCommand(std::string_view name) {
    for (const Command& c : Commands)
        if (c.name == name) return &c;
    return nullptr;
}

} // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   bool errIsTerminal) {
    if (args.empty()) {
        PrintUsage(err);
        return ExitUsage;
    }
    const std::string& first = args[0];
    if (first == "-h" || first == "--help") {
        PrintUsage(out);
        return ExitOk;
    }
    if (first == "--version") {
        out << Program << " " << ORVANE_VERSION << "\n";
        return ExitOk;
    }
    const Command* command = FindCommand(first);
    if (!command) {
        err << Program << ": unknown command '" << first << "'\n\n";
        PrintUsage(err);
        return ExitUsage;
    }

    try {
        return command->run({args.begin() + 1, args.end()}, out, err, errIsTerminal);
    } catch (const UsageError& e) {
        err << Program << ": " << e.message << "\n\n";
        PrintCommandUsage(err, *command);
        return ExitUsage;
    } catch (const SourceError& e) {
        err << e.what() << "\n";
    } catch (const jet::WriteError& e) {
        err << Program << ": cannot write the database: " << e.what() << "\n";
    } catch (const std::exception& e) {
        err << Program << ": " << e.what() << "\n";
    }
    return ExitFailure;
}

} // namespace langdb
