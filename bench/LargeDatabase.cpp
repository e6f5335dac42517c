#include "LargeDatabase.h"

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

} // namespace

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
        for (std::size_t l = 0; l < languageCount; ++l) {
            std::vector<std::uint8_t> bytes(shape.resourceBytes);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            row.push_back(std::move(bytes));
        }
        w.AddRow(row);
    }
    return w.Commit();
}
