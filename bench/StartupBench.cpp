// Program start to window shown, and the peak memory of the process, for orvane with a language
// database beside it against a bare Qt dialog of the same size, each started the same way,
// alternately. Needs a display (bench/run uses Xvfb when there is none). Prints rows of bench/run's
// table:
//   orvane-bench-startup BIN_FOLDER DATABASE WORK_FOLDER
// The program is run from WORK_FOLDER/program, a copy of it with DATABASE as languages.mdb beside it.
#include "Measure.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
namespace fs = std::filesystem;
using namespace bench;

namespace {

struct Run {
    double seconds = -1; // spawn to the window shown
    double peakMiB = 0;  // the process's maximum resident set, its children included
};

// The maximum resident set comes from wait4. This process stays small: a child started by
// posix_spawn shares its memory until the exec, and that counts towards the child's maximum.
Run StartToShown(const fs::path& program, const fs::path& stamp) {
    fs::remove(stamp);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const auto start = std::chrono::system_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return {};
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    long long shown = 0;
    std::ifstream(stamp) >> shown;
    const long long began =
        std::chrono::duration_cast<std::chrono::microseconds>(start.time_since_epoch()).count();
    Run run;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && shown > 0) run.seconds = (shown - began) / 1e6;
    run.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024;
    return run;
}

// The database gets a new modification time, and so is a version no run has checked yet.
void ChangeVersion(const fs::path& file, int i) {
    fs::last_write_time(file, fs::file_time_type::clock::now() + std::chrono::seconds(i + 1));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: orvane-bench-startup BIN_FOLDER DATABASE WORK_FOLDER\n");
        return 2;
    }
    const fs::path bin = fs::absolute(argv[1]), work = fs::absolute(argv[3]);
    const fs::path folder = work / "program", cache = work / "cache-startup";
    fs::remove_all(folder);
    fs::remove_all(cache);
    fs::create_directories(folder);
    fs::copy_file(bin / "orvane", folder / "orvane");
    fs::copy(bin / "Pictures", folder / "Pictures", fs::copy_options::recursive);
    const fs::path database = folder / "languages.mdb";
    fs::copy_file(argv[2], database);
    const fs::path stamp = work / "shown";
    setenv("ORVANE_EXIT_WHEN_SHOWN", stamp.c_str(), 1);
    setenv("ORVANE_MACHINE_REG", (bin / "machine.reg").c_str(), 1);
    setenv("ORVANE_USER_REG", (work / "no-user.reg").c_str(), 1);
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);

    const fs::path program = folder / "orvane", bare = bin / "orvane-bare-dialog";
    std::vector<double> firstTimes;
    for (int i = 0; i < 3; ++i) {
        ChangeVersion(database, i);
        const Run first = StartToShown(program, stamp);
        StartToShown(bare, stamp);
        if (first.seconds < 0) {
            std::fprintf(stderr, "%s did not report its window shown\n", program.c_str());
            return 1;
        }
        firstTimes.push_back(first.seconds);
    }

    const int runs = 15;
    std::vector<double> programTimes, bareTimes, programPeaks, barePeaks;
    for (int i = 0; i < runs; ++i) {
        const Run p = StartToShown(program, stamp), b = StartToShown(bare, stamp);
        if (p.seconds < 0 || b.seconds < 0) {
            std::fprintf(stderr, "%s did not report its window shown\n",
                         (p.seconds < 0 ? program : bare).c_str());
            return 1;
        }
        programTimes.push_back(p.seconds);
        bareTimes.push_back(b.seconds);
        programPeaks.push_back(p.peakMiB);
        barePeaks.push_back(b.peakMiB);
    }
    fs::remove(stamp);

    const double p = Median(programTimes), b = Median(bareTimes), first = Median(firstTimes);
    Row("start-up to window shown", Duration(p), "bare Qt dialog " + Duration(b), Ratio(p / b), "<= 1.3",
        Verdict(p <= 1.3 * b));
    Row("start-up, first on a new database version", Duration(first), "bare Qt dialog " + Duration(b),
        Ratio(first / b));
    const double pm = Median(programPeaks), bm = Median(barePeaks);
    const double fileMiB = static_cast<double>(fs::file_size(database)) / 1048576;
    Row("peak memory", Format("%.1f MiB", pm), Format("bare Qt dialog %.1f MiB", bm), Ratio(pm / bm),
        Format("<= dialog + %.1f MiB", fileMiB), Verdict(pm <= bm + fileMiB));
    Note("start-up and peak memory: medians of " + std::to_string(runs) +
         " alternate starts of the program (the large database beside it, checked and its large tables "
         "remembered by an earlier start) and of the bare dialog; peak memory is the maximum resident set");
    fs::remove_all(folder);
    return EXIT_SUCCESS;
}
