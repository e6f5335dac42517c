#pragma once

#include "platform/jet/DatabaseWriter.h"

#include <cstdint>
#include <filesystem>
#include <string>

// A language database shaped like a large real one, generated deterministically.
struct LargeDatabaseShape {
    int forms = 200;
    int rowsPerForm = 500;
    int messages = 20000;
    int resources = 50;
    std::size_t resourceBytes = 64 * 1024;
};

inline constexpr const char16_t* LargeDatabaseLanguages[] = {
    u"ENGLISH_US", u"CHINESE_SIMPLIFIED", u"CHINESE_TRADITIONAL", u"FRENCH", u"GERMAN", u"HEBREW", u"RUSSIAN"};

// Writes the whole database; returns the writer's figures.
jet::WriterStats WriteLargeDatabase(const std::filesystem::path& file, const LargeDatabaseShape& shape = {});

// Writes the same content as the CSV sources orvane-langdb builds from, resource files included.
void WriteLargeSources(const std::filesystem::path& folder, const LargeDatabaseShape& shape = {});

// A database with a ResourceFiles table alone: one row named name, whose value in column is size
// random bytes; the other language columns are NULL.
void WriteResourceDatabase(const std::filesystem::path& file, const std::u16string& name,
                           const std::u16string& column, std::size_t size);
