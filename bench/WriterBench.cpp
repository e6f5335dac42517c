// Builds a large language database twice and prints how fast that went: with the writer alone, and
// the way people build one, from CSV sources with orvane-langdb.
#include "LargeDatabase.h"
#include "langdb/LanguageSource.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Report(const char* what, const jet::WriterStats& stats, double seconds) {
    std::printf("%s\n", what);
    std::printf("  rows          %llu\n", static_cast<unsigned long long>(stats.rows));
    std::printf("  time          %.3f s\n", seconds);
    std::printf("  rows/s        %.0f\n", stats.rows / seconds);
    std::printf("  file size     %.1f MiB (%u pages)\n", stats.bytes / 1048576.0, stats.pages);
    std::printf("  write rate    %.1f MiB/s\n", stats.bytes / 1048576.0 / seconds);
}

} // namespace

int main() {
    const fs::path dir = fs::temp_directory_path() / ("orvane-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const LargeDatabaseShape shape;
    std::printf("%d forms x %d rows, %d messages, %d resources x %zu KiB, 7 languages\n\n", shape.forms,
                shape.rowsPerForm, shape.messages, shape.resources, shape.resourceBytes / 1024);

    auto start = std::chrono::steady_clock::now();
    const auto direct = WriteLargeDatabase(dir / "direct.mdb", shape);
    Report("database writer alone", direct, Seconds(start));

    WriteLargeSources(dir / "sources", shape);
    start = std::chrono::steady_clock::now();
    const auto built = langdb::BuildLanguageDatabase(dir / "sources", dir / "built.mdb");
    Report("orvane-langdb build from CSV sources", built.stats, Seconds(start));

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("  peak memory   %.0f MiB (whole benchmark)\n", usage.ru_maxrss / 1024.0);
    fs::remove_all(dir);
}
