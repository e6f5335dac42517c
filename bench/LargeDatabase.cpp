#include "LargeDatabase.h"

#include "platform/jet/Unicode.h"

#include <fstream>
#include <random>
#include <string>
#include <vector>

using jet::ColumnDef;
using jet::ColumnType;
using jet::Value;

namespace {

std::u16string Number(int n) {
    std::u16string s;
    for (char c : std::to_string(n)) s.push_back(static_cast<char16_t>(c));
    return s;
}

// A text of typical length in the script of each language column.
std::u16string Sample(std::size_t language, int n) {
    static const std::u16string words[] = {
        u"Open the selected alarm zone ", u"打开所选报警区域 ", u"打開所選報警區域 ", u"Ouvrir la zone d'alarme ",
        u"Gewählte Alarmzone öffnen ", u"פתח את אזור האזעקה ", u"Открыть выбранную зону тревоги "};
    return words[language] + Number(n);
}

std::vector<std::uint8_t> ResourceBytes(std::mt19937& random, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

std::string Csv(const std::u16string& text) { return '"' + jet::Utf16ToUtf8(text) + '"'; }

} // namespace

void WriteLargeSources(const std::filesystem::path& folder, const LargeDatabaseShape& shape) {
    namespace fs = std::filesystem;
    fs::create_directories(folder / "resources");
    std::string header;
    for (auto* name : LargeDatabaseLanguages) header += "," + jet::Utf16ToUtf8(name);

    std::ofstream languages(folder / "Languages.csv");
    languages << "LanguageID,LanguageName\n";
    for (int i = 1; i <= 16; ++i) languages << i << ",L" << i << "\n";

    std::ofstream messages(folder / "MessageStrings.csv");
    messages << "StringID" << header << "\n";
    for (int id = 1; id <= shape.messages; ++id) {
        messages << id;
        for (std::size_t l = 0; l < std::size(LargeDatabaseLanguages); ++l) messages << ',' << Csv(Sample(l, id));
        messages << '\n';
    }

    std::ofstream forms(folder / "FormStrings.csv");
    forms << "FormName,ControlName,PropertyName" << header << "\n";
    for (int f = 0; f < shape.forms; ++f)
        for (int r = 0; r < shape.rowsPerForm; ++r) {
            forms << "frmForm" << f << ",ctlControl" << r / 2 << (r % 2 ? ",Hint" : ",Caption");
            for (std::size_t l = 0; l < std::size(LargeDatabaseLanguages); ++l)
                forms << ',' << Csv(Sample(l, f * shape.rowsPerForm + r));
            forms << '\n';
        }

    std::ofstream resources(folder / "ResourceFiles.csv");
    resources << "ResourceName" << header << "\n";
    std::mt19937 random(42);
    for (int i = 0; i < shape.resources; ++i) {
        resources << "Resource" << i << ".rtf";
        for (std::size_t l = 0; l < std::size(LargeDatabaseLanguages); ++l) {
            const std::string name = "resources/" + std::to_string(i) + "-" + std::to_string(l) + ".rtf";
            const auto bytes = ResourceBytes(random, shape.resourceBytes);
            std::ofstream(folder / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            resources << ',' << name;
        }
        resources << '\n';
    }
}

jet::WriterStats WriteLargeDatabase(const std::filesystem::path& file, const LargeDatabaseShape& shape) {
    jet::DatabaseWriter w(file);
    constexpr std::size_t languageCount = std::size(LargeDatabaseLanguages);
    auto columns = [&](std::vector<ColumnDef> keys, ColumnType type) {
        for (auto* name : LargeDatabaseLanguages) keys.push_back({name, type});
        return keys;
    };

    w.BeginTable(u"Languages", {{u"LanguageID", ColumnType::LongInteger}, {u"LanguageName", ColumnType::Text}});
    for (int i = 1; i <= 16; ++i) w.AddRow(std::vector<Value>{i, u"L" + Number(i)});

    w.BeginTable(u"MessageStrings", columns({{u"StringID", ColumnType::LongInteger}}, ColumnType::LongText));
    std::vector<Value> row;
    for (int id = 1; id <= shape.messages; ++id) {
        row.assign({id});
        for (std::size_t l = 0; l < languageCount; ++l) row.push_back(Sample(l, id));
        w.AddRow(row);
    }

    w.BeginTable(u"FormStrings", columns({{u"FormName", ColumnType::Text},
                                          {u"ControlName", ColumnType::Text},
                                          {u"PropertyName", ColumnType::Text}},
                                         ColumnType::LongText));
    for (int f = 0; f < shape.forms; ++f) {
        for (int r = 0; r < shape.rowsPerForm; ++r) {
            row.assign({u"frmForm" + Number(f), u"ctlControl" + Number(r / 2), std::u16string(r % 2 ? u"Hint" : u"Caption")});
            for (std::size_t l = 0; l < languageCount; ++l) row.push_back(Sample(l, f * shape.rowsPerForm + r));
            w.AddRow(row);
        }
    }

    w.BeginTable(u"ResourceFiles", columns({{u"ResourceName", ColumnType::Text}}, ColumnType::LongBinary));
    std::mt19937 random(42);
    for (int i = 0; i < shape.resources; ++i) {
        row.assign({u"Resource" + Number(i) + u".rtf"});
        for (std::size_t l = 0; l < languageCount; ++l) row.push_back(ResourceBytes(random, shape.resourceBytes));
        w.AddRow(row);
    }
    return w.Commit();
}

void WriteResourceDatabase(const std::filesystem::path& file, const std::u16string& name,
                           const std::u16string& column, std::size_t size) {
    jet::DatabaseWriter w(file);
    std::vector<ColumnDef> columns{{u"ResourceName", ColumnType::Text}};
    std::vector<Value> row{name};
    std::mt19937 random(7);
    for (auto* language : LargeDatabaseLanguages) {
        columns.push_back({language, ColumnType::LongBinary});
        row.push_back(language == column ? Value(ResourceBytes(random, size)) : Value(jet::Null{}));
    }
    w.BeginTable(u"ResourceFiles", std::move(columns));
    w.AddRow(row);
    w.Commit();
}
