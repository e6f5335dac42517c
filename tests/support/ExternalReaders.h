#pragma once

// Reads a whole Access file with one of two readers that no one here wrote, so that tests can check
// every cell our writer stores against what other programs see:
//  - the npm package mdb-reader, through mdb-reader-dump.mjs (exact for every text and byte);
//  - Debian's mdbtools command-line tools (mdb-tables -1, mdb-schema, mdb-export).
// Both throw std::runtime_error, with the reader's own message, when they cannot read the file.

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct Cell {
    enum Kind { Null, Number, Text, Bytes };
    Kind kind = Null;
    // Integers, floating point, Yes/No as 1 or 0, and date/time as days since 1899-12-30.
    double number = 0;
    std::u16string text;
    std::vector<std::uint8_t> bytes;
};

struct ReadTable {
    std::vector<std::string> columns; // UTF-8
    // The reader's own type names: mdb-reader's ("long", "text", "memo", "ole", ...) or mdb-schema's
    // ("Long Integer", "Text (50)", "Memo/Hyperlink (255)", "OLE (255)", ...).
    std::vector<std::string> types;
    std::vector<std::vector<Cell>> rows; // in the order a table scan gives them
};

struct ReadDatabase {
    // The password stored in the header as mdb-reader reports it; nullopt for none, and always
    // nullopt from mdbtools, which does not tell.
    std::optional<std::u16string> password;
    std::map<std::string, ReadTable> tables; // by UTF-8 name
    std::vector<std::string> tableOrder;     // the catalog's order
};

// mdb-reader 3.2.0 from ORVANE_NPM_DIR (installed by scripts/readers.sh). It ignores the password of
// a Jet 4 file (any password opens it); only encrypted ACE files check it. Text and bytes are
// exact; a date/time is exact to the millisecond.
// onlyColumns, when given, limits every table to those columns (for files too large to read whole).
ReadDatabase ReadWithMdbReader(const std::filesystem::path& file, const std::u16string& password = u"",
                               const std::vector<std::string>& onlyColumns = {});

// mdbtools 1.0. Table order from mdb-tables -1, columns and types from mdb-schema, cells from
// mdb-export. What it gets wrong, as MdbToolsView() below describes for text, plus: a date/time
// comes back rounded to the second, and only from 0 (1899-12-30) to 1e6 days (4637-11-26); outside
// that range mdbtools prints a nonsense date, which comes back as Text so that no comparison passes
// by chance.
ReadDatabase ReadWithMdbTools(const std::filesystem::path& file);

// mdb-count: the rows a table scan finds, following the table's usage map.
std::size_t CountRowsWithMdbTools(const std::filesystem::path& file, const std::string& table);

// The folder of files written by an independent writer (../shared/fixtures); empty when absent.
std::filesystem::path SharedFixtures();

// Exact equality: same kind and same value (NaN equals NaN).
bool SameCell(const Cell& a, const Cell& b);

// A short form for failure messages: length, the first characters or bytes, and for a long value
// a digest, so that two different long values never look alike.
std::string Describe(const Cell& cell);
void PrintTo(const Cell& cell, std::ostream* out); // used by GoogleTest

// What mdbtools gives for a stored cell: it decodes text as UCS-2, so each UTF-16 surrogate (half
// of a character outside the Basic Multilingual Plane, or a lone one) becomes '?', and it cannot
// tell empty text (Text or Memo) from NULL, so empty text comes back as NULL.
Cell MdbToolsView(const Cell& stored);

} // namespace testsupport
