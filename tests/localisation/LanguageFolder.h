// A fresh application folder per test, its language database written there at test time from
// inline rows, and the language settings put back afterwards.
#pragma once

#include "frame/PublicUnit.h"
#include "localisation/Languages.h"
#include "platform/jet/DatabaseWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

struct TestTable {
    std::u16string Name;
    std::vector<jet::ColumnDef> Columns;
    std::vector<std::vector<jet::Value>> Rows;
};

class LanguageFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-folder-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        AppSettings.AppFolder = QString::fromStdString(folder.string()) + '/';
        AppSettings.ProviderName = "Microsoft.Jet.OLEDB.4.0";
        saved = LanguageSettings;
        DropLanguageDatabase();
    }
    void TearDown() override {
        LanguageSettings = saved;
        DropLanguageDatabase();
        std::filesystem::remove_all(folder);
    }

    void WriteDatabase(const std::vector<TestTable>& tables) {
        jet::DatabaseWriter w(folder / "languages.mdb");
        for (const TestTable& t : tables) {
            w.BeginTable(t.Name, t.Columns);
            for (const auto& row : t.Rows)
                w.AddRow(row);
        }
        w.Commit();
    }

    std::filesystem::path folder;
    LanguageSettingsRecord saved;
};
