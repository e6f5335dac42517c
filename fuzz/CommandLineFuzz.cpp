// Arbitrary parameters for the command line, one per line of the input. Whatever they are, the
// language is the one the last /L switch names before the first parameter that is no switch, and
// nothing else: later parameters, the letter case of the switch and a colon before its value change
// nothing, and the language read is a known code's number or what the value reads as integer text.
#include "frame/CommandLine.h"
#include "localisation/Languages.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// Escaping fuzz inputs crash the fuzzer and fail the corpus replay with the reason.
void Require(bool condition, const char* what) {
    if (!condition) throw std::logic_error(what);
}

constexpr std::int32_t Unset = -0x5EED;

std::int32_t IndexAfter(const QStringList& parameters) {
    LanguageSettings.LanguageIndex = Unset;
    ParseCommandLine(parameters);
    return LanguageSettings.LanguageIndex;
}

bool IsSwitch(const QString& p, const char16_t* letters) {
    return p.size() >= 2 && p[0] == u'/' && QStringView(letters).contains(p[1]);
}

QString TrimControls(QString text) {
    while (!text.isEmpty() && text.front().unicode() <= 32)
        text.remove(0, 1);
    while (!text.isEmpty() && text.back().unicode() <= 32)
        text.chop(1);
    return text;
}

std::optional<std::int32_t> IntegerText(const QString& text) {
    std::int32_t value = 0;
    return TryStrToInt(text, value) ? std::optional(value) : std::nullopt;
}

void CheckOneSwitch(const QString& value) {
    const std::int32_t index = IndexAfter({u"/L"_s + value});
    Require(IndexAfter({u"/l"_s + value}) == index, "the letter case of /L matters");
    const QString trimmed = TrimControls(value);
    if (!trimmed.startsWith(u':'))
        Require(IndexAfter({u"/L:"_s + value}) == index, "a colon before the value matters");
    const bool known = index >= 1 && index <= 16;
    const auto asNumber = IntegerText(trimmed);
    const auto afterColon =
        trimmed.startsWith(u':') ? IntegerText(TrimControls(trimmed.mid(1))) : std::nullopt;
    Require(known || index == asNumber || index == afterColon,
            "a language that is neither a code nor the value's number");
}

void Check(const QStringList& parameters) {
    const std::int32_t index = IndexAfter(parameters);
    QStringList read; // what is read: up to the first parameter that is no switch
    std::optional<QString> last;
    for (const QString& p : parameters) {
        if (p.isEmpty()) continue;
        if (!IsSwitch(p, u"LlOoPp")) break;
        read << p;
        if (IsSwitch(p, u"Ll")) last = p;
    }
    Require(IndexAfter(read) == index, "parameters after one that is no switch changed the language");
    Require(index == (last ? IndexAfter({*last}) : Unset), "the language is not the last /L's");
    if (last) CheckOneSwitch(last->mid(2));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::int32_t saved = LanguageSettings.LanguageIndex;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Check(text.split(u'\n'));
    CheckOneSwitch(text);
    LanguageSettings.LanguageIndex = saved;
    return 0;
}
