// Replays every file under fuzz/corpus/<target>/ through its fuzz target in the ordinary build, so that
// an input the fuzzer once crashed on stays a regression test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

// The targets' LLVMFuzzerTestOneInput, renamed by the build so that all of them link into one test.
extern "C" int OrvaneStatementFuzz(const std::uint8_t* data, std::size_t size);
extern "C" int OrvaneConnectionStringFuzz(const std::uint8_t* data, std::size_t size);
extern "C" int OrvaneHeaderFuzz(const std::uint8_t* data, std::size_t size);
extern "C" int OrvaneAccessFileFuzz(const std::uint8_t* data, std::size_t size);
extern "C" int OrvaneRegFileFuzz(const std::uint8_t* data, std::size_t size);
extern "C" int OrvaneCommandLineFuzz(const std::uint8_t* data, std::size_t size);
extern "C" int OrvaneIntegerTextFuzz(const std::uint8_t* data, std::size_t size);

namespace {

struct Target {
    const char* name;
    int (*run)(const std::uint8_t*, std::size_t);
};

void PrintTo(const Target& target, std::ostream* os) {
    *os << target.name;
}

std::vector<std::uint8_t> ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CorpusReplay : public testing::TestWithParam<Target> {};

TEST_P(CorpusReplay, EveryInputPasses) {
    const std::filesystem::path folder = std::filesystem::path(ORVANE_FUZZ_CORPUS) / GetParam().name;
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty()) << folder;

    for (const auto& file : files) {
        SCOPED_TRACE(file.string());
        const auto bytes = ReadAll(file);
        try {
            GetParam().run(bytes.data(), bytes.size());
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
        } catch (...) {
            ADD_FAILURE() << "unknown exception";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fuzz, CorpusReplay,
    testing::Values(Target{"statement", OrvaneStatementFuzz},
                    Target{"connection_string", OrvaneConnectionStringFuzz},
                    Target{"header", OrvaneHeaderFuzz}, Target{"access_file", OrvaneAccessFileFuzz},
                    Target{"reg_file", OrvaneRegFileFuzz}, Target{"command_line", OrvaneCommandLineFuzz},
                    Target{"integer_text", OrvaneIntegerTextFuzz}),
    [](const testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

} // namespace
