// Reads a large language database through the data-access layer and prints how fast, against one
// full scan of FormStrings with libmdb alone: the first statement on a file version not seen
// before, warm selects of one form and of one message, and the memory the reads take.
#include "LargeDatabase.h"
#include "LibmdbScan.h"
#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseError.h"

#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The peak resident memory of this process image. Not getrusage: its maxrss carries over an exec,
// and so counts the pages of the process that started this one.
double PeakMiB() {
    FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    double kib = 0;
    while (status && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %lf kB", &kib) == 1) break;
    if (status) std::fclose(status);
    return kib / 1024;
}

const char* Verdict(bool met) {
    return met ? "met" : "missed";
}

std::string Duration(double seconds) {
    char text[32];
    if (seconds >= 1)
        std::snprintf(text, sizeof text, "%.3f s", seconds);
    else if (seconds >= 1e-3)
        std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
    else
        std::snprintf(text, sizeof text, "%.1f us", seconds * 1e6);
    return text;
}

QString ConnectionString(const fs::path& file) {
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1;Persist Security Info=False;"
                          "Jet OLEDB:Database Password=wxqv_5831")
        .arg(QString::fromStdString(file.string()));
}

int Select(ado::Connection& connection, const QString& sql) {
    ado::Query q;
    q.SetConnection(&connection);
    q.SQL << sql;
    q.Open();
    return q.RecordCount();
}

QString FormSelect(int form) {
    return QStringLiteral(
               "select ControlName, PropertyName, ENGLISH_US from FormStrings where FormName='frmForm%1'")
        .arg(form);
}

// The reads through the layer, in a process of their own so that its peak memory is theirs.
int RunReads(const fs::path& folder, double scan, std::uintmax_t fileBytes) {
    const LargeDatabaseShape shape;
    const double before = PeakMiB();

    // Cold: each copy is a file version this process has not seen, so it is checked and read anew.
    std::vector<double> opens, firsts, colds;
    for (int i = 0;; ++i) {
        const fs::path copy = folder / ("cold-" + std::to_string(i) + ".mdb");
        if (!fs::exists(copy)) break;
        ado::Connection connection;
        connection.ConnectionString = ConnectionString(copy);
        auto start = Clock::now();
        connection.Open();
        opens.push_back(Seconds(start));
        start = Clock::now();
        const int rows = Select(connection, FormSelect(i));
        firsts.push_back(Seconds(start));
        colds.push_back(opens.back() + firsts.back());
        if (rows != shape.rowsPerForm) std::printf("  unexpected: %d rows in form %d\n", rows, i);
    }
    const double afterCold = PeakMiB();

    ado::Connection connection;
    connection.ConnectionString = ConnectionString(folder / "cold-0.mdb");
    Select(connection, FormSelect(0));
    std::vector<double> forms;
    for (int i = 0; i < 101; ++i) {
        const auto start = Clock::now();
        Select(connection, FormSelect((i * 37) % shape.forms));
        forms.push_back(Seconds(start));
    }
    auto start = Clock::now();
    Select(connection, QStringLiteral("select ENGLISH_US from MessageStrings where StringID=1"));
    const double firstMessage = Seconds(start);
    std::vector<double> messages;
    for (int i = 0; i < 2001; ++i) {
        const int id = 1 + (i * 7919) % shape.messages;
        start = Clock::now();
        const int rows = Select(
            connection, QStringLiteral("select ENGLISH_US from MessageStrings where StringID=%1").arg(id));
        messages.push_back(Seconds(start));
        if (rows != 1) std::printf("  unexpected: %d rows for message %d\n", rows, id);
    }
    const double after = PeakMiB();
    const double fileMiB = fileBytes / 1048576.0;

    const double cold = Median(colds);
    std::printf("cold first statement on FormStrings   %s (median of %zu new file versions: opening %s, the "
                "statement %s)\n",
                Duration(cold).c_str(), colds.size(), Duration(Median(opens)).c_str(),
                Duration(Median(firsts)).c_str());
    std::printf("  target <= 1.5 full scans (%s): %s (%.2f scans)\n", Duration(1.5 * scan).c_str(),
                Verdict(cold <= 1.5 * scan), cold / scan);
    const double form = Median(forms);
    std::printf("warm select of one form (%d rows)     %s (median of %zu)\n", shape.rowsPerForm,
                Duration(form).c_str(), forms.size());
    std::printf("  target <= 1/20 full scan (%s): %s (1/%.0f)\n", Duration(scan / 20).c_str(),
                Verdict(form <= scan / 20), scan / form);
    const double message = Median(messages);
    std::printf("warm select of one message by StringID %s (median of %zu; the first on MessageStrings %s)\n",
                Duration(message).c_str(), messages.size(), Duration(firstMessage).c_str());
    std::printf("  target <= 1/1000 full scan (%s): %s (1/%.0f)\n", Duration(scan / 1000).c_str(),
                Verdict(message <= scan / 1000), scan / message);
    std::printf(
        "peak memory of the reading process    %.1f MiB: %.1f MiB before opening, %.1f MiB after the cold "
        "statements, %.1f MiB at the end\n",
        after, before, afterCold, after);
    std::printf("  memory the layer added              %.1f MiB; the file %.1f MiB\n", after - before,
                fileMiB);
    std::printf("  target below the file's size: %s\n", Verdict(after - before < fileMiB));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--reads") == 0) {
        try {
            return RunReads(argv[2], std::atof(argv[3]), std::strtoumax(argv[4], nullptr, 10));
        } catch (const ado::DatabaseError& e) {
            std::printf("the layer failed: %s\n", qPrintable(e.Message()));
            return 1;
        }
    }

    const fs::path dir = fs::temp_directory_path() / ("orvane-bench-read-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const LargeDatabaseShape shape;
    const fs::path file = dir / "languages.mdb";
    auto start = Clock::now();
    const auto stats = WriteLargeDatabase(file, shape);
    const std::uintmax_t bytes = fs::file_size(file);
    std::printf(
        "%d forms x %d rows, %d messages, %d resources x %zu KiB, 7 languages: %.1f MiB, %u pages (written "
        "in %.1f s)\n\n",
        shape.forms, shape.rowsPerForm, shape.messages, shape.resources, shape.resourceBytes / 1024,
        bytes / 1048576.0, stats.pages, Seconds(start));

    std::vector<double> scans;
    std::size_t rows = 0;
    for (int i = 0; i < 3; ++i)
        scans.push_back(ScanFormStringsWithLibmdb(file, rows));
    const double scan = Median(scans);
    std::printf("full scan of FormStrings with libmdb  %s (median of %zu; %zu rows, every column bound)\n\n",
                Duration(scan).c_str(), scans.size(), rows);

    // Copies under new names: the layer checks each file version once per process.
    for (int i = 0; i < 3; ++i)
        fs::copy_file(file, dir / ("cold-" + std::to_string(i) + ".mdb"));
    fs::remove(file);
    std::string self = "/proc/self/exe", mode = "--reads", folder = dir.string(),
                baseline = std::to_string(scan), size = std::to_string(bytes);
    char* args[] = {self.data(), mode.data(), folder.data(), baseline.data(), size.data(), nullptr};
    std::fflush(stdout);
    pid_t pid = 0;
    int status = 1;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, args, environ) == 0) ::waitpid(pid, &status, 0);
    fs::remove_all(dir);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
