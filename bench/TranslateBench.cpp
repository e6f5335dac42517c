// Translates one form of n components from 4n rows, for n = 5,000 and ten times that, and prints
// how long the query and the whole translation take. The search for the keys is indexed once per
// query, so ten times the form should take about ten times as long, not a hundred.
#include "frame/PublicUnit.h"
#include "localisation/FormTranslator.h"
#include "localisation/Languages.h"
#include "platform/jet/DatabaseWriter.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::u16string Text(const QString& text) {
    return text.toStdU16String();
}

QString ComponentName(int i) {
    return QStringLiteral("Component%1").arg(i);
}

// Four rows a component: its caption and hint, which are looked up, and two keys that are not.
void WriteDatabase(const fs::path& file, int components) {
    jet::DatabaseWriter w(file);
    w.BeginTable(u"FormStrings", {{u"FormName", jet::ColumnType::Text},
                                  {u"ControlName", jet::ColumnType::Text},
                                  {u"PropertyName", jet::ColumnType::Text},
                                  {u"ENGLISH_US", jet::ColumnType::LongText},
                                  {u"FRENCH", jet::ColumnType::LongText}});
    w.AddRow(std::vector<jet::Value>{std::u16string(u"frmWarm"), std::u16string(u"frmWarm"),
                                     std::u16string(u"Caption"), std::u16string(u"Warm"),
                                     std::u16string(u"")});
    for (int i = 0; i < components; ++i) {
        for (const char* property : {"Caption", "Hint", "TextHint", "Items0"}) {
            const QString english = ComponentName(i) + QLatin1Char(' ') + QLatin1String(property);
            w.AddRow(std::vector<jet::Value>{std::u16string(u"frmBench"), Text(ComponentName(i).toUpper()),
                                             Text(QString::fromLatin1(property)), Text(english),
                                             Text(QStringLiteral("FR ") + english)});
        }
    }
    w.Commit();
}

void Run(const fs::path& folder, int components) {
    WriteDatabase(folder / "languages.mdb", components);
    DropLanguageDatabase();
    TForm warm(nullptr); // the file's first statement checks and indexes it; not counted here
    warm.SetName(QStringLiteral("frmWarm"));
    TranslateForm(3, &warm, true);

    TForm form(nullptr);
    form.SetName(QStringLiteral("frmBench"));
    for (int i = 0; i < components; ++i) {
        TControl* control = i % 2 ? static_cast<TControl*>(new TLabel(&form)) : new TButton(&form);
        control->SetName(ComponentName(i));
        control->SetParentFont(i % 3 != 0);
    }

    auto start = Clock::now();
    RunLanguageQuery(QStringLiteral("select ControlName, PropertyName, ENGLISH_US, FRENCH from FormStrings "
                                    "where FormName='frmBench'"));
    const int rows = LanguageQuery()->RecordCount();
    LanguageQuery()->Close();
    const double query = Seconds(start);

    start = Clock::now();
    TranslateForm(3, &form, true);
    const double total = Seconds(start);
    const bool translated =
        form.Components(components - 1)->Object()->property("Caption").toString().startsWith("FR ");
    std::printf("%6d components, %6d rows: query %7.1f ms, translation %7.1f ms (%.2f us a component)%s\n",
                components, rows, query * 1e3, total * 1e3, total * 1e6 / components,
                translated ? "" : "  NOT TRANSLATED");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::string pattern = (fs::temp_directory_path() / "orvane-translate-bench-XXXXXX").string();
    const fs::path folder = ::mkdtemp(pattern.data());
    AppSettings.AppFolder = QString::fromStdString(folder.string()) + QLatin1Char('/');
    AppSettings.ProviderName = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    LanguageSettings.LanguageColumn = QStringLiteral("FRENCH");
    for (int components : {5000, 50000})
        Run(folder, components);
    DropLanguageDatabase();
    fs::remove_all(folder);
    return EXIT_SUCCESS;
}
