// Times the localisation layer through the program's own entry points, each against a baseline
// measured in the same run, and prints the rows of bench/run's table:
//   orvane-bench-localisation WORK_FOLDER
// It writes the large language database into WORK_FOLDER/large/languages.mdb (bench/run starts the
// program on it afterwards) and its other databases and files beside it.
#include "LargeDatabase.h"
#include "LibmdbScan.h"
#include "Measure.h"
#include "frame/PublicUnit.h"
#include "localisation/FormTranslator.h"
#include "localisation/Languages.h"
#include "localisation/Messages.h"
#include "localisation/ResourceFiles.h"
#include "platform/jet/DatabaseWriter.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"

#include <QApplication>
#include <QHash>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>

namespace fs = std::filesystem;
using namespace bench;

namespace {

const LargeDatabaseShape Shape;
constexpr int French = 4;

void UseDatabaseIn(const fs::path& folder) {
    DropLanguageDatabase();
    AppSettings.AppFolder = QString::fromStdString(folder.string()) + QLatin1Char('/');
}

bool TranslatedToFrench(const TForm& form) {
    const int last = form.ComponentCount() - 1;
    return form.Components(last)->Object()->property("Caption").toString().startsWith(
        QLatin1String("Ouvrir"));
}

// One form of the large database: 250 controls, each with a caption and a hint row.
std::unique_ptr<TForm> LargeForm(int number) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName(QStringLiteral("frmForm%1").arg(number));
    for (int i = 0; i < Shape.rowsPerForm / 2; ++i) {
        TControl* control = i % 2 ? static_cast<TControl*>(new TLabel(form.get())) : new TButton(form.get());
        control->SetName(QStringLiteral("ctlControl%1").arg(i));
    }
    return form;
}

double TimeTranslation(TForm& form) {
    const auto start = Clock::now();
    TranslateForm(French, &form, true);
    const double seconds = Seconds(start);
    if (!TranslatedToFrench(form)) {
        std::fprintf(stderr, "%s was not translated\n", qPrintable(form.Name()));
        std::exit(1);
    }
    return seconds;
}

void TranslateLargeForms(const fs::path& file, double scan) {
    // Each run changes the file's time, so that it is a version the process has not seen; with the
    // cache folder fresh, no earlier run has remembered it either, and each is checked anew.
    std::vector<double> cold;
    for (int i = 0; i < 5; ++i) {
        fs::last_write_time(file, fs::file_time_type::clock::now() + std::chrono::seconds(i + 1));
        auto form = LargeForm(i);
        cold.push_back(TimeTranslation(*form));
    }
    const double c = Median(cold);
    Row("TranslateForm, 500-row form, cold", Duration(c), "libmdb scan " + Duration(scan), Ratio(c / scan));

    std::vector<double> warm;
    for (int i = 0; i < 51; ++i) {
        auto form = LargeForm((i * 37 + 11) % Shape.forms);
        warm.push_back(TimeTranslation(*form));
    }
    const double w = Median(warm);
    Row("TranslateForm, 500-row form, warm", Duration(w), "libmdb scan " + Duration(scan), Ratio(w / scan),
        "<= 1/20", Verdict(w <= scan / 20));
}

void LookUpMessages(double scan) {
    std::vector<std::uint32_t> ids;
    for (int i = 0; i < 2001; ++i)
        ids.push_back(static_cast<std::uint32_t>(1 + (i * 7919) % Shape.messages));

    QHash<std::uint32_t, QString> texts;
    // The first notice of a session reads the messages of the language; shown, not a target.
    const auto first = Clock::now();
    GetMessageString(ids.front());
    const double f = Seconds(first);
    Row("GetMessageString, first of a session", Duration(f), "libmdb scan " + Duration(scan), Ratio(f / scan));
    std::vector<double> lookups;
    for (std::uint32_t id : ids) {
        const auto start = Clock::now();
        const QString text = GetMessageString(id);
        lookups.push_back(Seconds(start));
        if (!text.startsWith(QLatin1String("Ouvrir"))) {
            std::fprintf(stderr, "message %u reads \"%s\"\n", id, qPrintable(text));
            std::exit(1);
        }
        texts.insert(id, text);
    }
    const double m = Median(lookups);

    // The floor: the same keys in a hash held in memory, timed a thousand at a time.
    std::vector<double> floors;
    qsizetype characters = 0;
    for (int batch = 0; batch < 21; ++batch) {
        const auto start = Clock::now();
        for (std::size_t i = 0; i < 1000; ++i)
            characters += texts.value(ids[(static_cast<std::size_t>(batch) * 1000 + i) % ids.size()]).size();
        floors.push_back(Seconds(start) / 1000);
    }
    if (characters == 0) std::exit(1);
    const double floor = Median(floors);
    Row("GetMessageString, warm", Duration(m), "libmdb scan " + Duration(scan), Ratio(m / scan), "<= 1/1000",
        Verdict(m <= scan / 1000));
    Row("GetMessageString, warm", Duration(m), "hash lookup " + Duration(floor), Ratio(m / floor), "<= 50",
        Verdict(m <= 50 * floor));
}

// Two forms, of 2,000 and of 20,000 components, each component with five rows: the caption and
// hint it looks up, and three keys it does not. A row of a third form comes first, so that the
// file is opened and indexed untimed.
constexpr int SmallForm = 2000, LargeFormComponents = 20000;

QString ScaledFormName(int components) {
    return QStringLiteral("frmScale%1").arg(components);
}

void WriteScalingDatabase(const fs::path& file) {
    jet::DatabaseWriter w(file);
    w.BeginTable(u"FormStrings", {{u"FormName", jet::ColumnType::Text},
                                  {u"ControlName", jet::ColumnType::Text},
                                  {u"PropertyName", jet::ColumnType::Text},
                                  {u"ENGLISH_US", jet::ColumnType::LongText},
                                  {u"FRENCH", jet::ColumnType::LongText}});
    w.AddRow(std::vector<jet::Value>{std::u16string(u"frmWarm"), std::u16string(u"frmWarm"),
                                     std::u16string(u"Caption"), std::u16string(u"Warm"), std::u16string()});
    for (int components : {SmallForm, LargeFormComponents}) {
        const std::u16string form = ScaledFormName(components).toStdU16String();
        for (int i = 0; i < components; ++i) {
            const std::u16string name = QStringLiteral("CONTROL%1").arg(i).toStdU16String();
            for (const char16_t* property : {u"Caption", u"Hint", u"TextHint", u"Items0", u"Items1"}) {
                const std::u16string english = name + u' ' + property;
                w.AddRow(std::vector<jet::Value>{form, name, std::u16string(property), english,
                                                 u"Ouvrir " + english});
            }
        }
    }
    w.Commit();
}

// The first translation of a form just created, as every form gets it.
double TimeScaledForm(int components) {
    TForm form(nullptr);
    form.SetName(ScaledFormName(components));
    for (int i = 0; i < components; ++i) {
        TControl* control = i % 2 ? static_cast<TControl*>(new TLabel(&form)) : new TButton(&form);
        control->SetName(QStringLiteral("Control%1").arg(i));
        control->SetParentFont(i % 3 != 0);
    }
    return TimeTranslation(form);
}

void TranslateScaledForms(const fs::path& work) {
    const fs::path folder = work / "scale";
    fs::create_directories(folder);
    WriteScalingDatabase(folder / "languages.mdb");
    UseDatabaseIn(folder);
    TForm warm(nullptr);
    warm.SetName(QStringLiteral("frmWarm"));
    TranslateForm(French, &warm, true);

    // Alternately, so that a change in the machine's load affects both alike.
    std::vector<double> small, large;
    for (int i = 0; i < 5; ++i) {
        small.push_back(TimeScaledForm(SmallForm));
        large.push_back(TimeScaledForm(LargeFormComponents));
    }
    const double s = Median(small), l = Median(large);
    Row("TranslateForm, 20,000 components, 100,000 rows", Duration(l), "2,000 / 10,000: " + Duration(s),
        Format("%.1f", l / s), "<= 12", Verdict(l <= 12 * s));
    DropLanguageDatabase();
    fs::remove_all(folder);
}

void WriteRandomFile(const fs::path& file, std::size_t size) {
    std::vector<char> bytes(size);
    std::mt19937 random(3);
    for (auto& b : bytes)
        b = static_cast<char>(random());
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
}

// Extraction of a stored value against copying a file of the same size, alternately. Both replace
// the file they wrote the time before, as a program that extracts a file at each use does.
void Extract(const fs::path& work, const std::string& label, std::size_t size, int runs,
             const std::function<QString(int)>& resourceName) {
    const fs::path out = work / "out";
    fs::create_directories(out);
    const fs::path source = out / "source", copy = out / "copy", extracted = out / "extracted";
    WriteRandomFile(source, size);
    const QString destination = QString::fromStdString(extracted.string());
    // The table's first statement, and the first copy: not counted.
    fs::remove(extracted);
    ExtractResourceFile(resourceName(0), destination);
    if (!fs::exists(extracted) || fs::file_size(extracted) != size) {
        std::fprintf(stderr, "%s was not extracted\n", qPrintable(resourceName(0)));
        std::exit(1);
    }
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
    std::vector<double> extractions, copies;
    for (int i = 0; i < runs; ++i) {
        auto start = Clock::now();
        ExtractResourceFile(resourceName(i), destination);
        extractions.push_back(Seconds(start));
        start = Clock::now();
        fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
        copies.push_back(Seconds(start));
    }
    const double e = Median(extractions), c = Median(copies);
    Row("ExtractResourceFile, " + label, Duration(e), "file copy " + Duration(c), Ratio(e / c), "<= 2",
        Verdict(e <= 2 * c));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvane-bench-localisation WORK_FOLDER\n");
        return 2;
    }
    const fs::path work = fs::absolute(argv[1]);
    // A fresh cache: no file version counts as checked before this run.
    const fs::path cache = work / "cache-localisation";
    fs::remove_all(cache);
    fs::create_directories(cache);
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const fs::path large = work / "large";
    fs::create_directories(large);
    const fs::path file = large / "languages.mdb";
    const auto start = Clock::now();
    WriteLargeDatabase(file, Shape);
    Note("large database: 200 forms x 500 rows, 20,000 messages, 50 resources x 64 KiB, 7 languages, " +
         Format("%.1f MiB", static_cast<double>(fs::file_size(file)) / 1048576) + ", written in " +
         Duration(Seconds(start)) + "; cold = a file version not seen before, its check included (a fresh " +
         "XDG_CACHE_HOME)");

    std::vector<double> scans;
    std::size_t rows = 0;
    for (int i = 0; i < 3; ++i)
        scans.push_back(ScanFormStringsWithLibmdb(file, rows));
    const double scan = Median(scans);

    AppSettings.ProviderName = QStringLiteral("Microsoft.Jet.OLEDB.4.0");
    LanguageSettings.LanguageIndex = French;
    LanguageSettings.LanguageColumn = QStringLiteral("FRENCH");
    UseDatabaseIn(large);
    TranslateLargeForms(file, scan);
    LookUpMessages(scan);
    TranslateScaledForms(work);

    UseDatabaseIn(large);
    Extract(work, "64 KiB", Shape.resourceBytes, 21,
            [](int i) { return QStringLiteral("Resource%1.rtf").arg(i % Shape.resources); });

    const fs::path big = work / "resource";
    fs::create_directories(big);
    constexpr std::size_t bigSize = 16 << 20;
    WriteResourceDatabase(big / "languages.mdb", u"Big.bin", u"FRENCH", bigSize);
    UseDatabaseIn(big);
    Extract(work, "16 MiB", bigSize, 9, [](int) { return QStringLiteral("Big.bin"); });
    DropLanguageDatabase();
    fs::remove_all(big);
    fs::remove_all(work / "out");
    return EXIT_SUCCESS;
}
