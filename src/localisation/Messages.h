#pragma once

#include <QString>

#include <cstdint>

// Numbers of the notices the grid pack's locate and filter dialogs show.
inline constexpr std::uint32_t MessageNoSearchedFields = 207; // no field has search criteria
inline constexpr std::uint32_t MessageNoMatch = 208;          // a search from the first record found nothing
inline constexpr std::uint32_t MessageNoNextMatch = 209;      // a search for the next match found nothing

// The text of a MessageStrings row in LanguageColumn. For any LanguageIndex but 3 (English) an
// empty text falls back to the row's ENGLISH_US text. No row, a NULL and a failed read give the
// empty text; a failed read drops the language database and is not reported. Of several rows with
// the number, the first is read.
QString GetMessageString(std::uint32_t stringId);
