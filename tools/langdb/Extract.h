#pragma once

#include "langdb/DatabaseAccess.h"

#include <QString>

#include <cstdint>
#include <filesystem>

namespace langdb {

// Writes the file stored for a resource name in one language column of a database to destination,
// through the program's own ExtractResourceFile, and returns the size of the file written. As the
// program's function reports nothing, the row is read again afterwards to say why nothing was
// written: throws ado::DatabaseError when the database cannot be read, std::runtime_error when
// there is no row or a NULL, or when the file could not be written.
std::uintmax_t ExtractResource(const std::filesystem::path& file, const QString& name, const QString& column,
                               const std::filesystem::path& destination, const DatabaseOptions& options);

} // namespace langdb
