#include "langdb/Csv.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace langdb {

namespace {

std::string Locate(const std::string& file, std::size_t line, std::size_t column,
                   const std::string& message) {
    std::string s = file;
    if (line != 0) {
        s += ':' + std::to_string(line);
        if (column != 0) s += ':' + std::to_string(column);
    }
    return s + ": " + message;
}

} // namespace

SourceError::SourceError(std::string file, std::size_t line, std::size_t column, const std::string& message)
    : std::runtime_error(Locate(file, line, column, message)), file_(std::move(file)), line_(line),
      column_(column) {}

CsvReader::CsvReader(std::string fileName, std::string data)
    : fileName_(std::move(fileName)), data_(std::move(data)) {
    if (data_.starts_with("\xEF\xBB\xBF")) pos_ = lineStart_ = 3;
}

void CsvReader::Fail(std::size_t line, std::size_t column, const std::string& message) const {
    std::string text = message;
    if (column >= 1 && column <= columnNames_.size()) text += " in column " + columnNames_[column - 1];
    throw SourceError(fileName_, line, column, text);
}

bool CsvReader::OnlyLineBreaksRemain() const {
    for (std::size_t i = pos_; i < data_.size(); ++i) {
        if (data_[i] == '\n') continue;
        if (data_[i] == '\r' && i + 1 < data_.size() && data_[i + 1] == '\n') continue;
        return false;
    }
    return true;
}

// Length of the valid UTF-8 sequence at pos_, which holds a byte >= 0x80. Rejects what a strict
// decoder rejects: stray continuation bytes, overlong forms, surrogates, code points past U+10FFFF
// and truncated sequences. The error points at the sequence's first byte.
std::size_t CsvReader::CheckUtf8At(std::size_t column) const {
    const auto* s = reinterpret_cast<const unsigned char*>(data_.data()) + pos_;
    const std::size_t left = data_.size() - pos_;
    const unsigned char b0 = s[0];
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        if (b0 == 0xE0) low = 0xA0;  // overlong
        if (b0 == 0xED) high = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        if (b0 == 0xF0) low = 0x90;  // overlong
        if (b0 == 0xF4) high = 0x8F; // past U+10FFFF
    }
    bool ok = length != 0 && left >= length && s[1] >= low && s[1] <= high;
    for (std::size_t k = 2; ok && k < length; ++k)
        ok = (s[k] & 0xC0) == 0x80;
    if (!ok) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", b0);
        Fail(line_, column,
             "invalid UTF-8 at byte " + std::to_string(pos_ - lineStart_ + 1) + " of the line (" + hex + ")");
    }
    return length;
}

void CsvReader::ReadField(CsvField& field, std::size_t column) {
    const std::size_t size = data_.size();
    field.text.clear();
    field.isNull = false;
    field.line = line_;

    if (pos_ < size && data_[pos_] == '"') {
        ++pos_;
        for (;;) {
            // Copy runs of plain bytes at once; stop where a quote, line or multi-byte sequence needs care.
            const std::size_t start = pos_;
            while (pos_ < size) {
                const auto c = static_cast<unsigned char>(data_[pos_]);
                if (c == '"' || c == '\n' || c >= 0x80) break;
                ++pos_;
            }
            field.text.append(data_, start, pos_ - start);
            if (pos_ >= size) Fail(field.line, column, "quoted field has no closing quote");
            const auto c = static_cast<unsigned char>(data_[pos_]);
            if (c == '\n') {
                field.text += '\n';
                ++pos_;
                ++line_;
                lineStart_ = pos_;
            } else if (c >= 0x80) {
                const std::size_t n = CheckUtf8At(column);
                field.text.append(data_, pos_, n);
                pos_ += n;
            } else if (pos_ + 1 < size && data_[pos_ + 1] == '"') {
                field.text += '"';
                pos_ += 2;
            } else {
                ++pos_;
                break;
            }
        }
        if (pos_ < size) {
            const char c = data_[pos_];
            const bool crlf = c == '\r' && pos_ + 1 < size && data_[pos_ + 1] == '\n';
            if (c != ',' && c != '\n' && !crlf) Fail(line_, column, "text after the closing quote");
        }
        return;
    }

    const std::size_t start = pos_;
    while (pos_ < size) {
        const auto c = static_cast<unsigned char>(data_[pos_]);
        if (c == ',' || c == '\n') break;
        if (c == '\r') {
            if (pos_ + 1 < size && data_[pos_ + 1] == '\n') break;
            Fail(line_, column, "carriage return without line feed (quote the field to keep it)");
        }
        if (c == '"')
            Fail(line_, column, "quote inside an unquoted field (quote the field and double the quote)");
        pos_ += c >= 0x80 ? CheckUtf8At(column) : 1;
    }
    field.text.append(data_, start, pos_ - start);
    field.isNull = field.text.empty();
}

bool CsvReader::Next(CsvRecord& record) {
    if (pos_ >= data_.size() || OnlyLineBreaksRemain()) {
        pos_ = data_.size();
        return false;
    }
    record.line = line_;
    std::size_t count = 0;
    for (;;) {
        if (count == record.fields.size()) record.fields.emplace_back();
        ReadField(record.fields[count], count + 1);
        ++count;
        if (pos_ >= data_.size()) break;
        if (data_[pos_] == ',') {
            ++pos_;
            continue;
        }
        // A line break: ReadField has made sure a CR is followed by LF.
        pos_ += data_[pos_] == '\r' ? 2 : 1;
        ++line_;
        lineStart_ = pos_;
        break;
    }
    record.fields.resize(count);
    return true;
}

void CsvWriter::Separate() {
    if (recordStarted_) text_ += ',';
    recordStarted_ = true;
}

void CsvWriter::Field(std::string_view text) {
    Separate();
    if (!text.empty() && text.find_first_of(",\"\r\n") == std::string_view::npos) {
        text_ += text;
        return;
    }
    text_ += '"';
    for (const char c : text) {
        if (c == '"') text_ += '"';
        text_ += c;
    }
    text_ += '"';
}

void CsvWriter::EndRecord() {
    text_ += '\n';
    recordStarted_ = false;
}

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw SourceError(path.string(), "file not found");
    if (std::filesystem::is_directory(path, ec)) throw SourceError(path.string(), "is a folder, not a file");
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f) throw SourceError(path.string(), std::string("cannot open: ") + std::strerror(errno));
    std::string data;
    if (const auto size = std::filesystem::file_size(path, ec); !ec)
        data.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        data.append(buffer, n);
    if (std::ferror(f.get()))
        throw SourceError(path.string(), std::string("cannot read: ") + std::strerror(errno));
    return data;
}

std::vector<CsvRecord> ParseCsv(std::string fileName, std::string data) {
    CsvReader reader(std::move(fileName), std::move(data));
    std::vector<CsvRecord> records;
    CsvRecord record;
    while (reader.Next(record))
        records.push_back(record);
    return records;
}

} // namespace langdb
