#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Integer text as the platform reads it: optional leading spaces, sign, decimal or hex ($, x, X, 0x, 0X); 32-bit.
// Decimal must lie within the int32 range; hex must fit in 32 bits and is taken as a bit pattern
// ($FFFFFFFF is -1), a minus sign negating that pattern. Only ASCII digits count. On failure value
// is left as it was.
bool TryStrToInt(const QString& text, std::int32_t& value);

// Reads the parameters (without the program path) and sets LanguageSettings.LanguageIndex when a /L switch
// names a language. /L, /O and /P are read in either case; the first parameter that is none of them ends the
// reading. Empty parameters are skipped. Nothing is reported.
void ParseCommandLine(const QStringList& parameters);
