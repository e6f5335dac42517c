#pragma once

#include <QString>

#include <cstdint>

// The registry view a caller asks for: 0 the process's default view, 1 the 32-bit view, 2 the 64-bit
// view (which only a 32-bit program on 64-bit Windows has to ask for); any other number is the default.
using RegistryView = std::uint8_t;

// The suite's key, which holds the LanguageID value.
inline const QString SuiteRegistryKey = QStringLiteral("\\software\\Varnholt\\Varnholt 2000");

// One text value: from the machine hive, or from the user's when the machine gives empty text. A
// string or expandable string gives its text up to the first NUL, unexpanded; a missing key or value,
// a value of another type and any failure give empty text. The key path starts at the hive's root; a
// leading backslash is ignored. Nothing is written and no key is created.
QString ReadRegistryString(const QString& keyPath, const QString& valueName, RegistryView view);

// Start-up, after the command line: while no language is chosen (LanguageIndex 0), LanguageID under
// the suite's key chooses it; 3 when the value is missing or not integer text. A value of 0 is kept.
void ApplyRegistryLanguage();
