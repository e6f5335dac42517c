#include "langdb/CommandLine.h"

#include "langdb/Check.h"
#include "langdb/Csv.h"
#include "langdb/DatabaseAccess.h"
#include "langdb/Dump.h"
#include "langdb/Extract.h"
#include "langdb/Json.h"
#include "langdb/LanguageSource.h"
#include "platform/ado/DatabaseError.h"
#include "platform/jet/Unicode.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>
#include <set>
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

struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string_view, std::string> values; // by option name
    std::set<std::string_view> flags;

    const std::string* Value(std::string_view option) const {
        const auto it = values.find(option);
        return it == values.end() ? nullptr : &it->second;
    }
};

struct Output {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal;
};

struct Command {
    std::string_view name;
    std::string_view synopsis;
    std::string_view summary;
    std::string_view details;
    int (*run)(const Arguments& args, const Output& output);
    std::size_t positionalCount;
    std::string_view positionalNeeded;          // the message when there are more or fewer
    std::vector<std::string_view> valueOptions; // "--name V" or "--name=V"
    std::vector<std::string_view> flagOptions;
};

int RunBuild(const Arguments& args, const Output& output);
int RunQuery(const Arguments& args, const Output& output);
int RunDump(const Arguments& args, const Output& output);
int RunCheck(const Arguments& args, const Output& output);
int RunExtract(const Arguments& args, const Output& output);

constexpr std::string_view ReadOptionsHelp =
    "  --password P   database password (default: the password every language database uses)\n"
    "  --provider NAME\n"
    "                 provider that reads the file (default: Microsoft.Jet.OLEDB.4.0)\n";

const std::string QueryDetails =
    std::string(
        "Runs STATEMENT through the program's data-access layer, which understands\n"
        "  select <column>[, <column>]... from <table> [where <column> = <literal>]\n"
        "  select count(*) [as <alias>] from <table>\n"
        "and prints one JSON document, {\"columns\": [...], \"rows\": [[...], ...]}: text as a\n"
        "string, NULL as null, numbers as numbers, binary values as {\"size\": N, \"sha256\": \"...\"}.\n"
        "\n") +
    std::string(ReadOptionsHelp) + "  -h, --help     show this help\n";

const std::string DumpDetails =
    std::string(
        "Writes Languages.csv, MessageStrings.csv, FormStrings.csv, ResourceFiles.csv and the resource\n"
        "files (resources/<LANGUAGE_COLUMN>/<ResourceName>, the name percent-encoded where a file\n"
        "name needs it) in the form build reads, so that build gives back the same content and\n"
        "sources built then dumped come back byte for byte. OUTPUT_DIR must not exist or be empty;\n"
        "nothing appears in it unless the whole dump succeeds.\n"
        "\n") +
    std::string(ReadOptionsHelp) + "  -h, --help     show this help\n";

const std::string CheckDetails =
    std::string("Lists per table what makes the database unusable (a missing table, key column or\n"
                "ENGLISH_US column), rows whose key repeats an earlier row's or differs from it only in\n"
                "letter case (Access finds the first, so the later row is never read), and per language\n"
                "how many texts are present, empty or NULL.\n"
                "Exit status: 0 usable (warnings at most), 1 unusable or unreadable, 2 wrong arguments.\n"
                "\n") +
    std::string(ReadOptionsHelp) +
    "  --json         print the report as one JSON document\n"
    "  -h, --help     show this help\n";

const std::string ExtractDetails =
    std::string("Writes the ResourceFiles value of the row named NAME, byte for byte, to DEST through the\n"
                "program's own code: under a temporary name beside DEST, renamed over it when complete, so\n"
                "an existing DEST is replaced whole or not at all. Exit status: 0 written; 1 no such row, a\n"
                "NULL value, an unreadable database or a failed write; 2 wrong arguments.\n"
                "\n"
                "  --language COLUMN\n"
                "                 language column to read (default: ENGLISH_US)\n") +
    std::string(ReadOptionsHelp) + "  -h, --help     show this help\n";

const Command Commands[] = {
    {"build",
     "build SOURCE_DIR OUTPUT.mdb [--password P] [--progress]",
     "Build a language database from the CSV sources in SOURCE_DIR.",
     "Reads Languages.csv, MessageStrings.csv, FormStrings.csv and ResourceFiles.csv (UTF-8, a header\n"
     "row naming the columns) from SOURCE_DIR and writes an Access 2000 database. Nothing is written\n"
     "unless every source is valid; an existing OUTPUT.mdb is replaced only on success.\n"
     "\n"
     "  --password P   database password, at most 20 characters; --password \"\" sets none\n"
     "                 (default: the password every language database uses)\n"
     "  --progress     report progress on stderr even when it is not a terminal\n"
     "  -h, --help     show this help\n",
     RunBuild,
     2,
     "build needs SOURCE_DIR and OUTPUT.mdb",
     {"--password"},
     {"--progress"}},
    {"query",
     "query FILE \"STATEMENT\" [--password P] [--provider NAME]",
     "Run a statement on a database and print the result as JSON.",
     QueryDetails,
     RunQuery,
     2,
     "query needs FILE and STATEMENT",
     {"--password", "--provider"},
     {}},
    {"dump",
     "dump FILE OUTPUT_DIR [--password P] [--provider NAME]",
     "Write the CSV sources of a language database into OUTPUT_DIR.",
     DumpDetails,
     RunDump,
     2,
     "dump needs FILE and OUTPUT_DIR",
     {"--password", "--provider"},
     {}},
    {"check",
     "check FILE [--password P] [--provider NAME] [--json]",
     "Report missing tables and columns, repeated keys and coverage per language.",
     CheckDetails,
     RunCheck,
     1,
     "check needs FILE",
     {"--password", "--provider"},
     {"--json"}},
    {"extract",
     "extract FILE NAME DEST [--language COLUMN] [--password P] [--provider NAME]",
     "Write the file stored for a resource name to DEST, as the program does.",
     ExtractDetails,
     RunExtract,
     3,
     "extract needs FILE, NAME and DEST",
     {"--language", "--password", "--provider"},
     {}},
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

// Options may come before, between or after the positional arguments; "--" ends them. Help is
// printed as soon as it is asked for. Returns nullopt after printing help; throws UsageError.
std::optional<Arguments> ParseArguments(const Command& c, const std::vector<std::string>& args,
                                        std::ostream& out) {
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            parsed.positional.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "-h" || a == "--help") {
            PrintCommandUsage(out, c);
            return std::nullopt;
        } else if (const auto flag = std::find(c.flagOptions.begin(), c.flagOptions.end(), a);
                   flag != c.flagOptions.end()) {
            parsed.flags.insert(*flag);
        } else {
            const auto option =
                std::find_if(c.valueOptions.begin(), c.valueOptions.end(), [&](std::string_view o) {
                    return a == o || (a.starts_with(o) && a.size() > o.size() && a[o.size()] == '=');
                });
            if (option == c.valueOptions.end())
                throw UsageError{"unknown option '" + a + "' for " + std::string(c.name)};
            if (a.size() > option->size()) {
                parsed.values[*option] = a.substr(option->size() + 1);
            } else {
                if (i + 1 == args.size()) throw UsageError{std::string(*option) + " needs a value"};
                parsed.values[*option] = args[++i];
            }
        }
    }
    if (parsed.positional.size() != c.positionalCount) throw UsageError{std::string(c.positionalNeeded)};
    return parsed;
}

std::u16string Utf16Argument(const std::string& value, std::string_view what) {
    auto utf16 = jet::Utf8ToUtf16(value);
    if (!utf16) throw UsageError{std::string(what) + " is not valid UTF-8"};
    return std::move(*utf16);
}

DatabaseOptions ReadOptions(const Arguments& args) {
    DatabaseOptions options;
    if (const std::string* password = args.Value("--password"))
        options.password = QString::fromStdU16String(Utf16Argument(*password, "--password"));
    if (const std::string* provider = args.Value("--provider"))
        options.provider = QString::fromStdU16String(Utf16Argument(*provider, "--provider"));
    return options;
}

int RunBuild(const Arguments& args, const Output& output) {
    BuildOptions options;
    if (const std::string* password = args.Value("--password")) {
        auto utf16 = Utf16Argument(*password, "--password");
        if (utf16.size() > MaxPasswordLength)
            throw UsageError{"--password may have at most " + std::to_string(MaxPasswordLength) +
                             " characters"};
        options.password = std::move(utf16);
    }
    std::ostream& err = output.err;
    if (output.errIsTerminal || args.flags.contains("--progress"))
        options.progress = [&err](const std::string& line) { err << line << '\n' << std::flush; };

    const std::string& target = args.positional[1];
    const BuildResult result = BuildLanguageDatabase(args.positional[0], target, options);
    for (const std::string& warning : result.warnings)
        err << warning << '\n';
    err << "wrote " << target << ": " << result.tables << " tables, " << result.stats.rows << " rows, "
        << result.stats.bytes << " bytes\n";
    return ExitOk;
}

int RunQuery(const Arguments& args, const Output& output) {
    const DatabaseOptions options = ReadOptions(args);
    const QString statement = QString::fromStdU16String(Utf16Argument(args.positional[1], "STATEMENT"));
    ado::Connection connection;
    connection.ConnectionString = ConnectionStringFor(args.positional[0], options);
    connection.LoginPrompt = false;
    connection.Mode = ado::ConnectMode::Read;
    ado::Query query;
    query.SetConnection(&connection);
    query.Lock = ado::LockType::ReadOnly;
    query.SQL << statement;
    query.Open();
    output.out << RecordsetJson(query.Result()) << std::flush;
    return ExitOk;
}

int RunDump(const Arguments& args, const Output& output) {
    const DatabaseOptions options = ReadOptions(args);
    const std::string& target = args.positional[1];
    const DumpResult result = DumpLanguageDatabase(args.positional[0], target, options);
    for (const std::string& warning : result.warnings)
        output.err << "warning: " << warning << '\n';
    output.err << "wrote " << target << ": " << result.tables << " tables, " << result.rows << " rows, "
               << result.resourceFiles << " resource files\n";
    return ExitOk;
}

int RunCheck(const Arguments& args, const Output& output) {
    const CheckReport report = CheckLanguageDatabase(args.positional[0], ReadOptions(args));
    output.out << (args.flags.contains("--json") ? CheckReportJson(report) : CheckReportText(report))
               << std::flush;
    return report.Usable() ? ExitOk : ExitFailure;
}

int RunExtract(const Arguments& args, const Output& output) {
    const DatabaseOptions options = ReadOptions(args);
    const std::string* language = args.Value("--language");
    const QString column = language ? QString::fromStdU16String(Utf16Argument(*language, "--language"))
                                    : QStringLiteral("ENGLISH_US");
    const QString name = QString::fromStdU16String(Utf16Argument(args.positional[1], "NAME"));
    const std::string& destination = args.positional[2];
    const std::uintmax_t size = ExtractResource(args.positional[0], name, column, destination, options);
    output.err << "wrote " << destination << ": " << size << " bytes\n";
    return ExitOk;
}

const Command* FindCommand(std::string_view name) {
    for (const Command& c : Commands)
        if (c.name == name) return &c;
    return nullptr;
}

// Messages go on one line, whatever the text they quote holds.
std::string OneLine(std::string message) {
    std::replace_if(
        message.begin(), message.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return message;
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
        const auto parsed = ParseArguments(*command, {args.begin() + 1, args.end()}, out);
        if (!parsed) return ExitOk;
        return command->run(*parsed, {out, err, errIsTerminal});
    } catch (const UsageError& e) {
        err << Program << ": " << e.message << "\n\n";
        PrintCommandUsage(err, *command);
        return ExitUsage;
    } catch (const SourceError& e) {
        err << e.what() << "\n";
    } catch (const jet::WriteError& e) {
        err << Program << ": cannot write the database: " << e.what() << "\n";
    } catch (const ado::DatabaseError& e) {
        err << Program << ": " << OneLine(e.Message().toStdString()) << "\n";
    } catch (const std::exception& e) {
        err << Program << ": " << OneLine(e.what()) << "\n";
    }
    return ExitFailure;
}

} // namespace langdb
