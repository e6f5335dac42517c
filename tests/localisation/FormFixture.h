// What tests of the form translator share: a language database written at test time with the
// FormStrings rows a test lists, and a form as its designer left it.
#pragma once

#include "frame/PublicUnit.h"
#include "localisation/FormTranslator.h"
#include "localisation/Languages.h"
#include "platform/jet/DatabaseWriter.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>

#include <unistd.h>

// Found by the test framework through QString's namespace.
[[maybe_unused]] inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// The form the rows are written for, as its designer left it.
class TfrmTest : public TForm {
    Q_OBJECT
public:
    explicit TfrmTest(TComponent* owner, const QString& name = "frmTest") : TForm(owner) {
        SetName(name);
        SetCaption("Designer caption");
        SetHint("Designer hint");
        Font()->SetCharset(0);
        Font()->SetName("Arial");
        Font()->SetSize(12);
    }
};

// Claims the class name of a control, but is none: it has none of a control's properties.
class TStandIn : public QObject, public TComponent {
    Q_OBJECT
public:
    TStandIn(TComponent* owner, const QString& claimed)
        : QObject(nullptr), TComponent(this, owner), claimed_(claimed) {}
    QString ClassName() const override { return claimed_; }

private:
    QString claimed_;
};

using Text = std::optional<QString>; // nullopt is NULL

struct Row {
    QString Form, Control, Property;
    Text English, French;
};

inline jet::Value Cell(const Text& text) {
    return text ? jet::Value(text->toStdU16String()) : jet::Value(jet::Null{});
}

template <class T> T* Named(T* component, const QString& name) {
    component->SetName(name);
    return component;
}

// A control with its designer's caption and hint.
template <class T> T* Control(TComponent* owner, const QString& name) {
    auto* control = Named(new T(owner), name);
    control->SetCaption("Designer " + name);
    control->SetHint("Designer hint of " + name);
    return control;
}

class FormTranslatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvane-forms-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        AppSettings.AppFolder = QString::fromStdString(folder.string()) + '/';
        AppSettings.ProviderName = "Microsoft.Jet.OLEDB.4.0";
        saved = LanguageSettings;
        LanguageSettings.LanguageColumn = "FRENCH";
        DropLanguageDatabase();
    }
    void TearDown() override {
        LanguageSettings = saved;
        DropLanguageDatabase();
        std::filesystem::remove_all(folder);
    }

    void WriteFormStrings(const std::vector<Row>& rows) {
        using jet::ColumnType;
        jet::DatabaseWriter w(folder / "languages.mdb");
        w.BeginTable(u"FormStrings", {{u"FormName", ColumnType::Text},
                                      {u"ControlName", ColumnType::Text},
                                      {u"PropertyName", ColumnType::Text},
                                      {u"ENGLISH_US", ColumnType::LongText},
                                      {u"FRENCH", ColumnType::LongText}});
        for (const Row& r : rows)
            w.AddRow(std::vector<jet::Value>{Cell(r.Form), Cell(r.Control), Cell(r.Property), Cell(r.English),
                                             Cell(r.French)});
        w.Commit();
    }

    std::filesystem::path folder;
    LanguageSettingsRecord saved;
};
