// Arbitrary bytes as a database file, read through the data-access layer the way the program reads
// it: the list of tables, then each statement form on each table. The provider lets libmdb read a
// new file version in-process only after a child process has read it whole, so on a file that gets
// that far what runs here is our own decoding of rows, texts and long values, the column indexes
// and the statement handling. It may fail only with DatabaseError, and must agree with itself: a
// count with the rows, a where with the rows of a plain select that match it.
#include "platform/ado/Connection.h"
#include "platform/ado/DatabaseError.h"

#include <QString>
#include <QStringList>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

namespace fs = std::filesystem;

// Escaping fuzz inputs crash the fuzzer and fail the corpus replay with the reason.
void Require(bool condition, const char* what) {
    if (!condition) throw std::logic_error(what);
}

// A folder for the file, which also takes the list of versions found sound, so that fuzzing adds
// nothing to the user's cache.
class Workspace {
public:
    Workspace() {
        std::string pattern = (fs::temp_directory_path() / "orvane-fuzz-access-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
        folder_ = pattern;
        ::setenv("XDG_CACHE_HOME", folder_.c_str(), 1);
    }
    ~Workspace() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // The bytes as the next version of the file: a new file renamed into place, as a copy would arrive.
    fs::path Put(const std::uint8_t* data, std::size_t size) const {
        const fs::path next = folder_ / "next.mdb";
        const fs::path file = folder_ / "languages.mdb";
        std::ofstream(next, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        fs::rename(next, file);
        return file;
    }

private:
    fs::path folder_;
};

// A name that a statement can carry: in brackets, which take anything but ']'.
std::optional<QString> Bracketed(const QString& name) {
    if (name.isEmpty() || name.contains(u']')) return std::nullopt;
    return u'[' + name + u']';
}

std::optional<ado::Recordset> Run(ado::Connection& c, const QString& statement) {
    try {
        return c.Execute(ado::ParseStatement(statement));
    } catch (const ado::DatabaseError&) {
        return std::nullopt;
    }
}

// The literal that selects a value, when the statement language can write one.
std::optional<QString> LiteralFor(const ado::FieldValue& value) {
    if (const auto* s = std::get_if<QString>(&value))
        return u'\'' + QString(*s).replace(u'\'', u"''"_s) + u'\'';
    if (const auto* n = std::get_if<std::int64_t>(&value)) return QString::number(*n);
    if (const auto* d = std::get_if<double>(&value); d && std::trunc(*d) == *d && std::fabs(*d) < 1e15)
        return QString::number(static_cast<std::int64_t>(*d));
    return std::nullopt;
}

// Whether a where on the literal written for `literal` selects `value`: text without regard to
// letter case, numbers by value, nothing else.
bool Selects(const ado::FieldValue& value, const ado::FieldValue& literal) {
    if (const auto* s = std::get_if<QString>(&value)) {
        const auto* t = std::get_if<QString>(&literal);
        return t && s->compare(*t, Qt::CaseInsensitive) == 0;
    }
    const auto* l = std::get_if<std::int64_t>(&literal);
    const auto* ld = std::get_if<double>(&literal);
    if (!l && !ld) return false;
    const double n = l ? static_cast<double>(*l) : std::trunc(*ld);
    if (const auto* i = std::get_if<std::int64_t>(&value)) return l ? *i == *l : static_cast<double>(*i) == n;
    if (const auto* d = std::get_if<double>(&value)) return *d == n;
    return false;
}

// Rows read twice must be the same to the bit; a NaN is a value like any other here.
bool SameRows(const std::vector<std::vector<ado::FieldValue>>& a,
              const std::vector<std::vector<ado::FieldValue>>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t r = 0; r < a.size(); ++r) {
        if (a[r].size() != b[r].size()) return false;
        for (std::size_t i = 0; i < a[r].size(); ++i) {
            const auto* x = std::get_if<double>(&a[r][i]);
            const auto* y = std::get_if<double>(&b[r][i]);
            if (x && y ? std::memcmp(x, y, sizeof *x) != 0 : a[r][i] != b[r][i]) return false;
        }
    }
    return true;
}

// A where on the values some columns have in one row, against the rows of the plain select.
void CheckWhere(ado::Connection& c, const QString& select, const QStringList& names,
                const ado::Recordset& all, const std::vector<std::size_t>& columns,
                const std::vector<ado::FieldValue>& row) {
    QString statement = select;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const auto literal = LiteralFor(row[columns[k]]);
        if (!literal) return;
        statement += (k == 0 ? u" where "_s : u" and "_s) + names[static_cast<qsizetype>(columns[k])] + u'=' +
                     *literal;
    }
    const auto found = Run(c, statement);
    if (!found) return; // a column that cannot be compared, or a type mismatch
    std::vector<std::vector<ado::FieldValue>> expected;
    for (const auto& candidate : all.rows) {
        bool match = true;
        for (std::size_t k = 0; k < columns.size() && match; ++k)
            match = Selects(candidate[columns[k]], row[columns[k]]);
        if (match) expected.push_back(candidate);
    }
    Require(!expected.empty(), "a row's own value does not select it");
    Require(SameRows(found->rows, expected), "a where selects other rows than a plain select holds");
}

void CheckTable(ado::Connection& c, const ado::TableSchema& table) {
    const auto tableName = Bracketed(table.name);
    if (!tableName) return;
    const QString from = u" from "_s + *tableName;
    const auto count = Run(c, u"select count(*) as n"_s + from);
    if (count)
        Require(count->columns == QStringList{u"n"_s} && count->rows.size() == 1 &&
                    std::holds_alternative<std::int64_t>(count->rows[0][0]),
                "a count gives another shape than one number");

    QStringList names;
    for (const auto& column : table.columns)
        if (const auto name = Bracketed(column.name); name && names.size() < 32) names << *name;
    if (names.isEmpty()) return;
    const QString select = u"select "_s + names.join(u", "_s) + from;
    const auto all = Run(c, select);
    if (!all) return;
    Require(all->columns.size() == names.size(), "a select gives another number of columns than it names");
    for (const auto& row : all->rows)
        Require(row.size() == static_cast<std::size_t>(names.size()), "a row has another number of values");
    if (count)
        Require(std::get<std::int64_t>(count->rows[0][0]) == static_cast<std::int64_t>(all->rows.size()),
                "the count differs from the rows a select gives");
    if (all->rows.empty()) return;

    // Each column on the values of the first and the last row, alone and with the next column.
    for (const std::size_t r : {std::size_t{0}, all->rows.size() - 1}) {
        const auto& row = all->rows[r];
        for (std::size_t i = 0; i < row.size() && i < 16; ++i) {
            CheckWhere(c, select, names, *all, {i}, row);
            if (row.size() > 1) CheckWhere(c, select, names, *all, {i, (i + 1) % row.size()}, row);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Workspace workspace;
    const fs::path file = workspace.Put(data, size);
    ado::Connection c;
    // The provider that reads every format, with the password of the program's own databases.
    c.ConnectionString = u"Provider=Microsoft.ACE.OLEDB.12.0;Data Source="_s +
                         QString::fromStdString(file.string()) + u";Jet OLEDB:Database Password=wxqv_5831"_s;
    std::vector<ado::TableSchema> tables;
    try {
        tables = c.OpenSchema();
    } catch (const ado::DatabaseError&) {
        return 0;
    }
    for (std::size_t t = 0; t < tables.size() && t < 8; ++t)
        CheckTable(c, tables[t]);
    return 0;
}
