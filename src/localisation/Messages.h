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
// The first notice reads the texts of all messages in the language and keeps them; later notices
// are looked up in memory. The kept texts are read anew when the language changes, after a failed
// read of the language database, and when the file is found to be another version: it is looked at
// again at most every 100 ms.
QString GetMessageString(std::uint32_t stringId);
