// Builds a large language database with the writer and prints how fast that went.
#include "LargeDatabase.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

int main(int argc, char** argv) {
    const std::filesystem::path file =
        argc > 1 ? std::filesystem::path(argv[1])
                 : std::filesystem::temp_directory_path() / ("orvane-bench-" + std::to_string(::getpid()) + ".mdb");
    const LargeDatabaseShape shape;
    const auto start = std::chrono::steady_clock::now();
    const auto stats = WriteLargeDatabase(file, shape);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("database writer, %d forms x %d rows, %d messages, %d resources x %zu KiB, 7 languages\n",
                shape.forms, shape.rowsPerForm, shape.messages, shape.resources, shape.resourceBytes / 1024);
    std::printf("  rows          %llu\n", static_cast<unsigned long long>(stats.rows));
    std::printf("  time          %.3f s\n", seconds);
    std::printf("  rows/s        %.0f\n", stats.rows / seconds);
    std::printf("  file size     %.1f MiB (%u pages)\n", stats.bytes / 1048576.0, stats.pages);
    std::printf("  write rate    %.1f MiB/s\n", stats.bytes / 1048576.0 / seconds);
    if (argc <= 1) std::filesystem::remove(file);
}
