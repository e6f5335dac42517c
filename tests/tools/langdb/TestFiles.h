#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace langdb::test {

// A fresh folder under the system temp folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "langdb-test-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

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
