#pragma once

#include "langdb/DatabaseAccess.h"

#include <cstddef>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace langdb {

// A database the sources cannot represent exactly, or an output folder that cannot be written.
class DumpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file name a resource (or a language column's folder) is stored under: the UTF-8 name with
// '/', '\', '%', control characters and a leading '.' percent-encoded, so that every name gives a
// distinct, ordinary, visible file.
std::string SafeFileName(std::string_view utf8);

struct DumpResult {
    std::size_t tables = 0;
    std::size_t rows = 0;
    std::size_t resourceFiles = 0;
    // Rows that build will refuse (a NULL or empty key), one message each.
    std::vector<std::string> warnings;
};

// Writes the sources of the language database file into outputDir, in the form build reads and
// byte for byte as they were if the database was built from sources in that form: the four CSV
// files and resources/<LANGUAGE_COLUMN>/<ResourceName>. outputDir must not exist or be empty.
// Everything is written into a temporary folder beside it and renamed into place at the end, so a
// failure leaves nothing behind. Throws DumpError or ado::DatabaseError.
DumpResult DumpLanguageDatabase(const std::filesystem::path& file, const std::filesystem::path& outputDir,
                                const DatabaseOptions& options = {});

} // namespace langdb
