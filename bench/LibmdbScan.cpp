#include "LibmdbScan.h"

#include "Measure.h"

// The libmdb 1.0 header needs these first when compiled as C++.
#include <glib.h>
#include <iconv.h>
#include <mdbtools.h>

#include <cstdlib>
#include <vector>

double ScanFormStringsWithLibmdb(const std::filesystem::path& file, std::size_t& rows) {
    const auto start = bench::Clock::now();
    MdbHandle* mdb = mdb_open(file.c_str(), MDB_NOFLAGS);
    if (!mdb || !mdb_read_catalog(mdb, MDB_TABLE)) {
        std::fprintf(stderr, "libmdb cannot open %s\n", file.c_str());
        std::exit(1);
    }
    mdb_set_bind_size(mdb, 1 << 20);
    char name[] = "FormStrings";
    MdbTableDef* table = mdb_read_table_by_name(mdb, name, MDB_TABLE);
    if (!table || !mdb_read_columns(table)) {
        std::fprintf(stderr, "libmdb cannot read FormStrings\n");
        std::exit(1);
    }
    std::vector<std::vector<char>> values(table->num_cols, std::vector<char>(1 << 20));
    std::vector<int> lengths(table->num_cols);
    for (unsigned i = 0; i < table->num_cols; ++i)
        mdb_bind_column(table, static_cast<int>(i + 1), values[i].data(), &lengths[i]);
    mdb_rewind_table(table);
    rows = 0;
    while (mdb_fetch_row(table))
        ++rows;
    mdb_free_tabledef(table);
    mdb_close(mdb);
    return bench::Seconds(start);
}
