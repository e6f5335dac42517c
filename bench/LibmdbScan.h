#pragma once

#include <cstddef>
#include <filesystem>

// One full scan of FormStrings with libmdb alone, from opening the file: every column bound, every
// row fetched. Returns seconds; rows is set to the number of rows read. Ends the process when
// libmdb cannot read the file.
double ScanFormStringsWithLibmdb(const std::filesystem::path& file, std::size_t& rows);
