#include "frame/RegistryLanguage.h"

#include "frame/CommandLine.h"
#include "localisation/Languages.h"
#include "platform/registry/Registry.h"

namespace {

constexpr std::int32_t English = 3;

QString ReadText(registry::RootKey root, const QString& keyPath, const QString& valueName,
                 registry::KeyView view) {
    try {
        const auto key = registry::SystemRegistry().OpenKey(root, keyPath, view);
        if (!key) return {};
        const auto value = key->ReadValue(valueName);
        if (!value) return {};
        return registry::ValueText(*value).value_or(QString());
    } catch (...) {
        return {}; // whatever fails ends this hive's attempt; the next hive is still tried
    }
}

} // namespace

QString ReadRegistryString(const QString& keyPath, const QString& valueName, RegistryView view) {
    // View 2 asks for the 64-bit view only under WOW64; this process is native, so that is its default.
    const auto keyView = view == 1 ? registry::KeyView::Registry32 : registry::KeyView::Default;
    const QString path = keyPath.startsWith(u'\\') ? keyPath.mid(1) : keyPath;
    for (const auto root : {registry::RootKey::LocalMachine, registry::RootKey::CurrentUser}) {
        const QString text = ReadText(root, path, valueName, keyView);
        if (!text.isEmpty()) return text;
    }
    return {};
}

void ApplyRegistryLanguage() {
    if (LanguageSettings.LanguageIndex != 0) return; // a /L switch has chosen; the registry is not read
    const QString value = ReadRegistryString(SuiteRegistryKey, QStringLiteral("LanguageID"), 0);
    std::int32_t index = English;
    if (!TryStrToInt(value, index)) index = English;
    LanguageSettings.LanguageIndex = index;
}
