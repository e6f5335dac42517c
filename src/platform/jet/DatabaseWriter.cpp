#include "platform/jet/DatabaseWriter.h"

#include "platform/jet/FileHeader.h"
#include "platform/jet/Unicode.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jet {
namespace {

// Page layout of Jet 4 data pages (rows) and long-value pages: a 14-byte header, then a table of
// 2-byte row offsets growing down the page while rows are stored from the end of the page up.
constexpr std::size_t DataPageHeaderSize = 14;
constexpr std::size_t RowCountOffset = 12;
constexpr std::size_t MaxRowsPerPage = 255;  // a row pointer names its row in one byte
constexpr std::size_t MaxRowSize = 4060;     // what Access itself allows in a data row
constexpr std::size_t MaxLongValueRow = PageSize - DataPageHeaderSize - 2;
constexpr std::size_t LongValueChunk = MaxLongValueRow - 4; // each chunk row starts with a pointer
constexpr std::size_t LongValueFieldSize = 12;              // length and flags, pointer, unused
constexpr std::uint32_t LongValueInline = 0x80000000;
constexpr std::uint32_t LongValueSinglePage = 0x40000000;
constexpr std::uint32_t MaxLongValueLength = 0x3FFFFFFF;
constexpr std::uint32_t LongValueOwner = 0x4C41564C; // "LVAL"
constexpr std::size_t MaxTextUnits = 255;
// Access compresses long text only up to this many characters.
constexpr std::size_t MaxCompressedLongText = 1024;
constexpr std::uint32_t MaxPageNumber = 0xFFFFFF; // page numbers in row pointers have 24 bits

constexpr std::uint32_t CatalogPage = 2;
constexpr std::uint32_t GlobalUsageMapPage = 1;

constexpr std::size_t TableDefinitionHeaderSize = 8;
constexpr std::size_t ColumnDescriptorSize = 25;
constexpr std::size_t ColumnDescriptorsOffset = 63;
constexpr std::uint8_t UserTable = 0x4E;
constexpr std::uint8_t SystemTable = 0x53;

constexpr std::size_t UsageMapBitmapPageBits = (PageSize - 4) * 8;
constexpr std::size_t MaxInlineUsageMapBytes = MaxRowSize - 5;

void Put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Append16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Append32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void AppendUtf16(std::vector<std::uint8_t>& out, std::u16string_view text) {
    for (char16_t c : text) Append16(out, c);
}

std::string Quoted(std::u16string_view name) { return Utf16ToUtf8(name); }

bool IsFixed(ColumnType t) {
    return t == ColumnType::Integer || t == ColumnType::LongInteger || t == ColumnType::DateTime;
}
bool IsLong(ColumnType t) { return t == ColumnType::LongText || t == ColumnType::LongBinary; }
bool IsText(ColumnType t) { return t == ColumnType::Text || t == ColumnType::LongText; }

std::uint16_t FixedSize(ColumnType t) {
    switch (t) {
    case ColumnType::Integer: return 2;
    case ColumnType::LongInteger: return 4;
    case ColumnType::DateTime: return 8;
    default: return 0;
    }
}

// Jet 4 stores text as UTF-16LE, or "compressed": bytes FF FE, then runs of one-byte characters
// (high byte zero) and two-byte characters, each switch marked by a zero byte. A compressed text
// cannot hold a character whose low byte is zero, since that byte reads as a switch.
// Readers take any value starting with FF FE as compressed, so plain text that starts with
// U+FEFF must be written compressed; when it cannot be, it cannot be stored at all.
std::vector<std::uint8_t> EncodeText(std::u16string_view text, bool allowCompression) {
    const bool compressible =
        std::none_of(text.begin(), text.end(), [](char16_t c) { return (c & 0xFF) == 0; });
    const bool startsLikeCompressed = !text.empty() && text.front() == 0xFEFF;
    std::vector<std::uint8_t> out;
    if (compressible && (allowCompression || startsLikeCompressed)) {
        out.reserve(text.size() + 2);
        out.push_back(0xFF);
        out.push_back(0xFE);
        bool oneByte = true;
        for (char16_t c : text) {
            const bool fits = c < 0x100;
            if (fits != oneByte) {
                out.push_back(0);
                oneByte = fits;
            }
            out.push_back(static_cast<std::uint8_t>(c));
            if (!oneByte) out.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        if (out.size() < text.size() * 2 || startsLikeCompressed) return out;
        out.clear();
    }
    if (startsLikeCompressed)
        throw WriteError("text starting with U+FEFF that also holds a character U+xx00 cannot be stored");
    out.reserve(text.size() * 2);
    AppendUtf16(out, text);
    return out;
}

// Rows of one page, placed from the end of the page towards its header.
class RowPage {
public:
    RowPage(std::uint32_t number, std::uint32_t owner) : number_(number), owner_(owner) {}

    std::uint32_t Number() const { return number_; }
    std::size_t RowCount() const { return rows_; }
    bool Fits(std::size_t length) const {
        return rows_ < MaxRowsPerPage && top_ >= length + DataPageHeaderSize + 2 * (rows_ + 1);
    }
    // Returns the row's pointer: page number in the upper 24 bits, row number in the low 8.
    std::uint32_t Add(std::span<const std::uint8_t> row) {
        top_ -= row.size();
        if (!row.empty()) std::memcpy(bytes_.data() + top_, row.data(), row.size());
        Put16(bytes_.data() + DataPageHeaderSize + 2 * rows_, static_cast<std::uint16_t>(top_));
        return number_ << 8 | static_cast<std::uint32_t>(rows_++);
    }
    const std::array<std::uint8_t, PageSize>& Finish() {
        bytes_[0] = 0x01;
        bytes_[1] = 0x01;
        Put16(bytes_.data() + 2, static_cast<std::uint16_t>(top_ - DataPageHeaderSize - 2 * rows_));
        Put32(bytes_.data() + 4, owner_);
        Put16(bytes_.data() + RowCountOffset, static_cast<std::uint16_t>(rows_));
        return bytes_;
    }

private:
    std::uint32_t number_;
    std::uint32_t owner_;
    std::size_t rows_ = 0;
    std::size_t top_ = PageSize;
    std::array<std::uint8_t, PageSize> bytes_{};
};

struct ColumnLayout {
    ColumnDef def;
    std::uint16_t number = 0;
    std::uint16_t fixedOffset = 0; // fixed columns: offset after the column count
    std::uint16_t varIndex = 0;    // variable columns: index into the offset table
};

struct Table {
    std::u16string name;
    bool system = false;
    std::vector<ColumnLayout> columns;
    std::uint16_t fixedSize = 0;
    std::uint16_t varCount = 0;
    std::vector<std::uint32_t> definitionPages;
    std::vector<std::uint32_t> dataPages;
    std::uint32_t rowCount = 0;
    std::uint32_t usedMapRow = 0;
    std::uint32_t freeMapRow = 0;
    std::optional<RowPage> page;
};

double DefaultCreationDate() {
    constexpr double UnixEpochAsOleDate = 25569.0; // 1970-01-01 in days since 1899-12-30
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        char* end = nullptr;
        errno = 0;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (*end == '\0' && errno == 0 && seconds >= 0) return UnixEpochAsOleDate + seconds / 86400.0;
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return UnixEpochAsOleDate + std::chrono::duration<double>(now).count() / 86400.0;
}

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

} // namespace

class DatabaseWriter::Impl {
public:
    Impl(const std::filesystem::path& target, WriterOptions options)
        : target_(std::filesystem::absolute(target)), options_(std::move(options)) {
        creationDate_ = options_.creationDate.value_or(DefaultCreationDate());
        header_ = MakeHeaderPage(options_.password, creationDate_); // checks the password first

        std::string name = ".";
        name += target_.filename().string();
        name += ".XXXXXX";
        std::string pattern = (target_.parent_path() / name).string();
        fd_ = ::mkstemp(pattern.data());
        if (fd_ < 0) throw WriteError(SystemError("cannot create a file beside " + target_.string()));
        tempPath_ = pattern;

        nextPage_ = CatalogPage; // page 0 is the header, page 1 the global usage map, page 2 the catalog
        catalog_.name = u"MSysObjects";
        catalog_.system = true;
        LayOut(catalog_, {{u"Id", ColumnType::LongInteger},
                          {u"ParentId", ColumnType::LongInteger},
                          {u"Name", ColumnType::Text},
                          {u"Type", ColumnType::Integer},
                          {u"DateCreate", ColumnType::DateTime},
                          {u"DateUpdate", ColumnType::DateTime},
                          {u"Flags", ColumnType::LongInteger},
                          {u"LvProp", ColumnType::LongBinary}});
        if (catalog_.definitionPages != std::vector<std::uint32_t>{CatalogPage})
            throw WriteError("internal error: the catalog definition must fill page 2 alone");
    }

    ~Impl() {
        if (fd_ >= 0) ::close(fd_);
        if (!committed_ && !tempPath_.empty()) ::unlink(tempPath_.c_str());
    }

    void BeginTable(const std::u16string& name, std::vector<ColumnDef> columns) {
        CheckOpen();
        CloseTable();
        CheckName(name, "table");
        for (const auto& t : tables_)
            if (SameName(t.name, name)) throw WriteError("table " + Quoted(name) + " is defined twice");
        if (SameName(name, catalog_.name)) throw WriteError("table name " + Quoted(name) + " is reserved");
        if (columns.empty()) throw WriteError("table " + Quoted(name) + " has no columns");
        if (columns.size() > 255) throw WriteError("table " + Quoted(name) + " has more than 255 columns");
        for (std::size_t i = 0; i < columns.size(); ++i) {
            CheckName(columns[i].name, "column");
            for (std::size_t j = 0; j < i; ++j)
                if (SameName(columns[i].name, columns[j].name))
                    throw WriteError("table " + Quoted(name) + ": column " + Quoted(columns[i].name) +
                                     " is defined twice");
        }
        Table& t = tables_.emplace_back();
        t.name = name;
        LayOut(t, columns);
        current_ = &t;
    }

    void AddRow(std::span<const Value> values) {
        CheckOpen();
        if (!current_) throw WriteError("a row was added before any table was begun");
        AppendRow(*current_, values);
        ++stats_.rows;
    }

    WriterStats Commit() {
        CheckOpen();
        try {
            CloseTable();
            WriteCatalog();
            WriteUsageMaps();
            for (Table* t : AllTables()) WriteDefinition(*t);
            WriteGlobalUsageMap();
            WritePage(0, header_);
            if (writtenPages_ != nextPage_) throw WriteError("internal error: not every page was written");
            Finalise();
        } catch (...) {
            failed_ = true;
            throw;
        }
        stats_.pages = nextPage_;
        stats_.bytes = static_cast<std::uint64_t>(nextPage_) * PageSize;
        return stats_;
    }

private:
    static bool SameName(std::u16string_view a, std::u16string_view b) {
        // Access compares object names without regard to case.
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
    }

    static void CheckName(const std::u16string& name, const char* what) {
        if (name.empty() || name.size() > 64)
            throw WriteError(std::string(what) + " name " + Quoted(name) + " must have 1 to 64 characters");
        for (char16_t c : name)
            if (c < 0x20 || c == 0xFEFF || c == u'.' || c == u'!' || c == u'`' || c == u'[' || c == u']')
                throw WriteError(std::string(what) + " name " + Quoted(name) + " holds a character Access forbids");
    }

    void CheckOpen() const {
        if (committed_) throw WriteError("the database was already committed");
        if (failed_) throw WriteError("an earlier write failed; the database is discarded");
    }

    std::vector<Table*> AllTables() {
        std::vector<Table*> all{&catalog_};
        for (auto& t : tables_) all.push_back(&t);
        return all;
    }

    std::uint32_t AllocatePage() {
        if (nextPage_ > MaxPageNumber) throw WriteError("database larger than an Access file can be");
        return nextPage_++;
    }

    void WritePage(std::uint32_t number, const std::array<std::uint8_t, PageSize>& bytes) {
        const off_t offset = static_cast<off_t>(number) * PageSize;
        std::size_t done = 0;
        while (done < PageSize) {
            const ssize_t n = ::pwrite(fd_, bytes.data() + done, PageSize - done, offset + done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                failed_ = true;
                throw WriteError(SystemError("cannot write " + tempPath_.string()));
            }
            done += static_cast<std::size_t>(n);
        }
        ++writtenPages_;
    }

    void LayOut(Table& t, const std::vector<ColumnDef>& columns) {
        t.columns.clear();
        t.fixedSize = 0;
        t.varCount = 0;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            ColumnLayout c{columns[i], static_cast<std::uint16_t>(i), 0, 0};
            if (IsFixed(c.def.type)) {
                c.fixedOffset = t.fixedSize;
                t.fixedSize = static_cast<std::uint16_t>(t.fixedSize + FixedSize(c.def.type));
            } else {
                c.varIndex = t.varCount++;
            }
            t.columns.push_back(c);
        }
        // The definition's size does not depend on the rows, so its pages can be reserved now and
        // filled in once the row count and usage maps are known.
        const std::size_t size = DefinitionBytes(t).size();
        const std::size_t pages = size <= PageSize
                                      ? 1
                                      : 1 + (size - PageSize + PageSize - TableDefinitionHeaderSize - 1) /
                                                (PageSize - TableDefinitionHeaderSize);
        for (std::size_t i = 0; i < pages; ++i)
            t.definitionPages.push_back(AllocatePage());
    }

    // The table definition as one run of bytes, beginning with room for the first page's header.
    static std::vector<std::uint8_t> DefinitionBytes(const Table& t) {
        std::vector<std::uint8_t> d(ColumnDescriptorsOffset, 0);
        Put32(d.data() + 16, t.rowCount);
        d[40] = t.system ? SystemTable : UserTable;
        const auto count = static_cast<std::uint16_t>(t.columns.size());
        Put16(d.data() + 41, count); // most columns a row has had
        Put16(d.data() + 43, t.varCount);
        Put16(d.data() + 45, count);
        // No indexes: both index counts stay zero.
        Put32(d.data() + 55, t.usedMapRow);
        Put32(d.data() + 59, t.freeMapRow);
        for (const auto& c : t.columns) {
            std::uint8_t e[ColumnDescriptorSize] = {};
            e[0] = static_cast<std::uint8_t>(c.def.type);
            Put16(e + 5, c.number);
            Put16(e + 7, c.varIndex);
            Put16(e + 9, c.number);
            if (IsText(c.def.type)) Put16(e + 11, 0x0409); // general sort order
            e[15] = IsFixed(c.def.type) ? 0x03 : 0x02;      // fixed length; may be null
            e[16] = IsText(c.def.type) ? 0x01 : 0x00;       // may hold compressed text
            Put16(e + 21, c.fixedOffset);
            Put16(e + 23, c.def.type == ColumnType::Text ? MaxTextUnits * 2 : FixedSize(c.def.type));
            d.insert(d.end(), e, e + ColumnDescriptorSize);
        }
        for (const auto& c : t.columns) {
            Append16(d, static_cast<std::uint16_t>(c.def.name.size() * 2));
            AppendUtf16(d, c.def.name);
        }
        Append16(d, 0xFFFF); // no per-column long-value maps follow
        Put32(d.data() + 8, static_cast<std::uint32_t>(d.size()));
        return d;
    }

    void WriteDefinition(const Table& t) {
        const auto d = DefinitionBytes(t);
        std::size_t pos = 0;
        for (std::size_t i = 0; i < t.definitionPages.size(); ++i) {
            std::array<std::uint8_t, PageSize> page{};
            std::size_t fill = TableDefinitionHeaderSize;
            if (i == 0) pos = TableDefinitionHeaderSize;
            const std::size_t n = std::min(PageSize - fill, d.size() - pos);
            std::memcpy(page.data() + fill, d.data() + pos, n);
            pos += n;
            fill += n;
            page[0] = 0x02;
            page[1] = 0x01;
            Put16(page.data() + 2, static_cast<std::uint16_t>(PageSize - fill >= 8 ? PageSize - fill - 8 : 0));
            Put32(page.data() + 4, i + 1 < t.definitionPages.size() ? t.definitionPages[i + 1] : 0);
            WritePage(t.definitionPages[i], page);
        }
    }

    void AppendRow(Table& t, std::span<const Value> values) {
        const std::string where = "table " + Quoted(t.name);
        if (values.size() != t.columns.size())
            throw WriteError(where + ": a row has " + std::to_string(values.size()) + " values for " +
                             std::to_string(t.columns.size()) + " columns");
        if (t.rowCount == 0xFFFFFFFF) throw WriteError(where + ": too many rows");

        const std::size_t n = t.columns.size();
        std::vector<std::uint8_t> fixed(t.fixedSize, 0);
        std::vector<std::vector<std::uint8_t>> encoded(n);
        std::vector<std::span<const std::uint8_t>> varData(n);
        std::vector<bool> present(n, false);
        std::vector<std::size_t> longColumns;

        for (std::size_t i = 0; i < n; ++i) {
            const ColumnLayout& c = t.columns[i];
            const Value& v = values[i];
            if (std::holds_alternative<Null>(v)) continue;
            present[i] = true;
            auto mismatch = [&] {
                return WriteError(where + ", column " + Quoted(c.def.name) + ": value does not suit the column type");
            };
            switch (c.def.type) {
            case ColumnType::Integer:
            case ColumnType::LongInteger: {
                const auto* x = std::get_if<std::int32_t>(&v);
                if (!x) throw mismatch();
                if (c.def.type == ColumnType::Integer && (*x < -32768 || *x > 32767))
                    throw WriteError(where + ", column " + Quoted(c.def.name) + ": " + std::to_string(*x) +
                                     " is out of range for a 16-bit integer");
                const auto u = static_cast<std::uint32_t>(*x);
                for (std::size_t b = 0; b < FixedSize(c.def.type); ++b)
                    fixed[c.fixedOffset + b] = static_cast<std::uint8_t>(u >> (8 * b));
                break;
            }
            case ColumnType::DateTime: {
                const auto* x = std::get_if<double>(&v);
                if (!x) throw mismatch();
                std::memcpy(fixed.data() + c.fixedOffset, x, 8);
                break;
            }
            case ColumnType::Text:
            case ColumnType::LongText: {
                const auto* x = std::get_if<std::u16string>(&v);
                if (!x) throw mismatch();
                if (c.def.type == ColumnType::Text && x->size() > MaxTextUnits)
                    throw WriteError(where + ", column " + Quoted(c.def.name) + ": text longer than 255 characters");
                try {
                    encoded[i] = EncodeText(*x, c.def.type == ColumnType::Text || x->size() <= MaxCompressedLongText);
                } catch (const WriteError& e) {
                    throw WriteError(where + ", column " + Quoted(c.def.name) + ": " + e.what());
                }
                varData[i] = encoded[i];
                break;
            }
            case ColumnType::LongBinary: {
                const auto* x = std::get_if<std::vector<std::uint8_t>>(&v);
                if (!x) throw mismatch();
                varData[i] = *x;
                break;
            }
            }
            if (IsLong(c.def.type)) {
                if (varData[i].size() > MaxLongValueLength)
                    throw WriteError(where + ", column " + Quoted(c.def.name) + ": value larger than 1 GiB");
                longColumns.push_back(i);
            }
        }

        // Long values stay in the row while the row fits in a page; the largest move out first.
        const std::size_t nullMaskSize = (n + 7) / 8;
        std::size_t size = 2 + t.fixedSize + nullMaskSize + (t.varCount ? 2 + 2 * t.varCount + 2 : 0);
        for (std::size_t i = 0; i < n; ++i)
            if (present[i] && !IsFixed(t.columns[i].def.type))
                size += varData[i].size() + (IsLong(t.columns[i].def.type) ? LongValueFieldSize : 0);
        std::vector<bool> outOfRow(n, false);
        std::sort(longColumns.begin(), longColumns.end(),
                  [&](std::size_t a, std::size_t b) { return varData[a].size() > varData[b].size(); });
        for (std::size_t i : longColumns) {
            if (size <= MaxRowSize) break;
            outOfRow[i] = true;
            size -= varData[i].size();
        }
        if (size > MaxRowSize) throw WriteError(where + ": row larger than a page");

        std::vector<std::uint8_t> row;
        row.reserve(size);
        Append16(row, static_cast<std::uint16_t>(n));
        row.insert(row.end(), fixed.begin(), fixed.end());
        std::vector<std::uint16_t> offsets;
        offsets.reserve(t.varCount + 1);
        for (std::size_t i = 0; i < n; ++i) {
            const ColumnLayout& c = t.columns[i];
            if (IsFixed(c.def.type)) continue;
            offsets.push_back(static_cast<std::uint16_t>(row.size()));
            if (!present[i]) continue;
            if (!IsLong(c.def.type)) {
                row.insert(row.end(), varData[i].begin(), varData[i].end());
                continue;
            }
            const auto length = static_cast<std::uint32_t>(varData[i].size());
            std::uint32_t flags = LongValueInline;
            std::uint32_t pointer = 0;
            if (outOfRow[i]) pointer = WriteLongValue(varData[i], flags);
            Append32(row, length | flags);
            Append32(row, pointer);
            Append32(row, 0);
            if (!outOfRow[i]) row.insert(row.end(), varData[i].begin(), varData[i].end());
        }
        if (t.varCount) {
            Append16(row, static_cast<std::uint16_t>(row.size())); // end of the variable data
            for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) Append16(row, *it);
            Append16(row, t.varCount);
        }
        std::vector<std::uint8_t> nullMask(nullMaskSize, 0);
        for (std::size_t i = 0; i < n; ++i)
            if (present[i]) nullMask[i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
        row.insert(row.end(), nullMask.begin(), nullMask.end());

        if (!t.page || !t.page->Fits(row.size())) {
            FlushDataPage(t);
            t.page.emplace(AllocatePage(), t.definitionPages.front());
            t.dataPages.push_back(t.page->Number());
        }
        t.page->Add(row);
        ++t.rowCount;
    }

    void FlushDataPage(Table& t) {
        if (t.page) WritePage(t.page->Number(), t.page->Finish());
        t.page.reset();
    }

    // Stores a long value outside its row. A value that fits one long-value row shares a page with
    // others; a longer one becomes a chain of rows, one per page, each pointing at the next.
    std::uint32_t WriteLongValue(std::span<const std::uint8_t> bytes, std::uint32_t& flags) {
        if (bytes.size() <= LongValueChunk) {
            flags = LongValueSinglePage;
            if (!longValuePage_ || !longValuePage_->Fits(bytes.size())) {
                FlushLongValuePage();
                longValuePage_.emplace(AllocatePage(), LongValueOwner);
            }
            return longValuePage_->Add(bytes);
        }
        flags = 0;
        FlushLongValuePage();
        const std::size_t chunks = (bytes.size() + LongValueChunk - 1) / LongValueChunk;
        const std::uint32_t first = nextPage_;
        std::vector<std::uint8_t> chunkRow;
        for (std::size_t k = 0; k < chunks; ++k) {
            RowPage page(AllocatePage(), LongValueOwner);
            const std::size_t from = k * LongValueChunk;
            const std::size_t len = std::min(LongValueChunk, bytes.size() - from);
            chunkRow.clear();
            Append32(chunkRow, k + 1 < chunks ? (page.Number() + 1) << 8 : 0);
            chunkRow.insert(chunkRow.end(), bytes.begin() + from, bytes.begin() + from + len);
            page.Add(chunkRow);
            if (k + 1 < chunks)
                WritePage(page.Number(), page.Finish());
            else
                longValuePage_.emplace(std::move(page)); // its free space serves the next values
        }
        return first << 8;
    }

    void FlushLongValuePage() {
        if (longValuePage_) WritePage(longValuePage_->Number(), longValuePage_->Finish());
        longValuePage_.reset();
    }

    void CloseTable() {
        if (current_) FlushDataPage(*current_);
        current_ = nullptr;
    }

    void WriteCatalog() {
        FlushLongValuePage();
        auto addEntry = [&](const Table& t, std::int32_t flags) {
            const Value row[] = {static_cast<std::int32_t>(t.definitionPages.front()),
                                 std::int32_t{0},
                                 t.name,
                                 std::int32_t{1}, // a table
                                 creationDate_,
                                 creationDate_,
                                 flags,
                                 Null{}};
            AppendRow(catalog_, row);
        };
        addEntry(catalog_, static_cast<std::int32_t>(0x80000002u)); // system table
        for (const auto& t : tables_) addEntry(t, 0);
        FlushDataPage(catalog_);
    }

    // Builds a usage map row: type 0 holds its own bitmap from a start page on; type 1, for maps
    // too long for one row, points to bitmap pages that each cover a fixed range of pages.
    std::vector<std::uint8_t> UsageMap(const std::vector<std::uint32_t>& pages, std::uint32_t coverEnd,
                                       std::vector<std::pair<std::uint32_t, std::array<std::uint8_t, PageSize>>>& bitmapPages) {
        const std::uint32_t start = pages.empty() ? 0 : pages.front() & ~7u;
        const std::uint32_t end = std::max(coverEnd, pages.empty() ? 0 : pages.back() + 1);
        std::vector<std::uint8_t> row;
        const std::size_t bytes = std::max<std::size_t>(1, (end - start + 7) / 8);
        if (bytes <= MaxInlineUsageMapBytes) {
            row.assign(5 + bytes, 0);
            Put32(row.data() + 1, start);
            for (std::uint32_t p : pages) row[5 + (p - start) / 8] |= static_cast<std::uint8_t>(1u << ((p - start) % 8));
            return row;
        }
        const std::size_t blocks = (end + UsageMapBitmapPageBits - 1) / UsageMapBitmapPageBits;
        row.assign(1 + 4 * blocks, 0);
        row[0] = 0x01;
        for (std::size_t b = 0; b < blocks; ++b) {
            std::array<std::uint8_t, PageSize> page{};
            page[0] = 0x05;
            page[1] = 0x01;
            for (std::uint32_t p : pages)
                if (p / UsageMapBitmapPageBits == b) {
                    const std::size_t bit = p % UsageMapBitmapPageBits;
                    page[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
                }
            const std::uint32_t number = AllocatePage();
            Put32(row.data() + 1 + 4 * b, number);
            bitmapPages.emplace_back(number, page);
        }
        return row;
    }

    void WriteUsageMaps() {
        std::vector<std::pair<std::uint32_t, std::array<std::uint8_t, PageSize>>> bitmapPages;
        std::optional<RowPage> mapPage;
        auto place = [&](const std::vector<std::uint8_t>& row) {
            if (!mapPage || !mapPage->Fits(row.size())) {
                if (mapPage) WritePage(mapPage->Number(), mapPage->Finish());
                mapPage.emplace(AllocatePage(), 0);
            }
            return mapPage->Add(row);
        };
        for (Table* t : AllTables()) {
            t->usedMapRow = place(UsageMap(t->dataPages, 0, bitmapPages));
            // The table's pages with room for more rows: none, the file is written complete.
            t->freeMapRow = place(UsageMap({}, 0, bitmapPages));
        }
        if (mapPage) WritePage(mapPage->Number(), mapPage->Finish());
        for (const auto& [number, page] : bitmapPages) WritePage(number, page);
    }

    // Page 1 lists the file's free pages. It must cover every page, since a writer may treat
    // pages beyond its range as free.
    void WriteGlobalUsageMap() {
        std::vector<std::pair<std::uint32_t, std::array<std::uint8_t, PageSize>>> bitmapPages;
        std::vector<std::uint8_t> row;
        std::uint32_t covered = nextPage_;
        for (;;) {
            const std::uint32_t before = nextPage_;
            bitmapPages.clear();
            row = UsageMap({}, covered, bitmapPages);
            if (nextPage_ <= covered) break;
            covered = nextPage_; // bitmap pages were added beyond the range: cover them too
            nextPage_ = before;
        }
        RowPage page(GlobalUsageMapPage, 0);
        page.Add(row);
        WritePage(GlobalUsageMapPage, page.Finish());
        for (const auto& [number, bitmap] : bitmapPages) WritePage(number, bitmap);
    }

    void Finalise() {
        if (::fsync(fd_) != 0) throw WriteError(SystemError("cannot write " + tempPath_.string()));
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd_, 0666 & ~mask) != 0) throw WriteError(SystemError("cannot set the mode of " + tempPath_.string()));
        if (::close(fd_) != 0) {
            fd_ = -1;
            throw WriteError(SystemError("cannot write " + tempPath_.string()));
        }
        fd_ = -1;
        if (::rename(tempPath_.c_str(), target_.c_str()) != 0)
            throw WriteError(SystemError("cannot replace " + target_.string()));
        committed_ = true;
        // Make the rename itself durable.
        const int dir = ::open(target_.parent_path().c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }

    std::filesystem::path target_;
    std::filesystem::path tempPath_;
    WriterOptions options_;
    double creationDate_ = 0;
    std::array<std::uint8_t, PageSize> header_{};
    int fd_ = -1;
    bool committed_ = false;
    bool failed_ = false;
    std::uint32_t nextPage_ = 0;
    std::uint32_t writtenPages_ = 0;
    Table catalog_;
    std::deque<Table> tables_; // stable addresses: current_ points into it
    Table* current_ = nullptr;
    std::optional<RowPage> longValuePage_;
    WriterStats stats_;
};

DatabaseWriter::DatabaseWriter(const std::filesystem::path& target, WriterOptions options)
    : d(std::make_unique<Impl>(target, std::move(options))) {}
DatabaseWriter::~DatabaseWriter() = default;

void DatabaseWriter::BeginTable(const std::u16string& name, std::vector<ColumnDef> columns) {
    d->BeginTable(name, std::move(columns));
}
void DatabaseWriter::AddRow(std::span<const Value> row) { d->AddRow(row); }
WriterStats DatabaseWriter::Commit() { return d->Commit(); }

} // namespace jet
