#pragma once

#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace langdb::test {

using testsupport::TempDir;

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path.string());
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// A small valid source folder: two languages, NULL and empty cells, non-ASCII text and a resource
// file whose bytes include CR LF and NUL.
inline void WriteValidSource(const std::filesystem::path& dir) {
    WriteFile(dir / "Languages.csv", "LanguageID,LanguageName\n1,ENG\n2,FRA\n");
    WriteFile(dir / "MessageStrings.csv",
              "StringID,ENGLISH_US,FRENCH\n207,No match.,\n-208,\"\",\"Aucune entrée\"\n");
    WriteFile(dir / "FormStrings.csv", "FormName,ControlName,PropertyName,ENGLISH_US,FRENCH\n"
                                       "frmMain,btClose,Caption,&Close,&Fermer\n"
                                       "frmMain,btClose,Hint,\"Two\r\nlines\",Deux lignes\n");
    WriteFile(dir / "ResourceFiles.csv", "ResourceName,ENGLISH_US,FRENCH\nReadme.txt,res/en.txt,\n");
    WriteFile(dir / "res/en.txt", std::string_view("a\r\nb\0c", 6));
}

} // namespace langdb::test
