// Program start to window shown: orvane (sample database, Jet provider registered) against a bare
// Qt dialog of the same size, each started the same way, alternately. Run under a display
// (bench/startup-bench.sh uses Xvfb).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;
namespace fs = std::filesystem;

namespace {

// Milliseconds from the spawn to the moment the program reports its window shown.
double StartToShown(const fs::path& program, const fs::path& stamp) {
    fs::remove(stamp);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const auto start = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::system_clock::now().time_since_epoch())
                           .count();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    long long shown = 0;
    std::ifstream(stamp) >> shown;
    return shown > 0 ? (shown - start) / 1000.0 : -1;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const fs::path bin = argc > 1 ? fs::path(argv[1]) : fs::canonical("/proc/self/exe").parent_path();
    const fs::path stamp = fs::temp_directory_path() / ("orvane-shown-" + std::to_string(getpid()));
    setenv("ORVANE_EXIT_WHEN_SHOWN", stamp.c_str(), 1);
    setenv("ORVANE_MACHINE_REG", (bin / "machine.reg").c_str(), 0);
    setenv("ORVANE_USER_REG", "/nonexistent/user.reg", 0);
    const int runs = 15;
    std::vector<double> program, bare;
    StartToShown(bin / "orvane", stamp); // warm the page cache for both
    StartToShown(bin / "orvane-bare-dialog", stamp);
    for (int i = 0; i < runs; ++i) {
        program.push_back(StartToShown(bin / "orvane", stamp));
        bare.push_back(StartToShown(bin / "orvane-bare-dialog", stamp));
    }
    fs::remove(stamp);
    const double p = Median(program), b = Median(bare);
    std::printf("start to window shown (median of %d)\n", runs);
    std::printf("  orvane             %8.1f ms\n", p);
    std::printf("  bare Qt dialog     %8.1f ms\n", b);
    std::printf("  ratio              %8.2f  target <= 1.30: %s\n", p / b, p > 0 && b > 0 && p <= 1.3 * b ? "met" : "missed");
}
