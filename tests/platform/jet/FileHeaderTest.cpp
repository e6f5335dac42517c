#include "platform/jet/DatabaseWriter.h"
#include "platform/jet/FileHeader.h"
#include "support/ExternalReaders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace jet;

namespace {

std::u16string StoredPassword(const HeaderFields& f) {
    std::u16string s;
    for (std::size_t i = 0; i + 1 < f.password.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(f.password[i] | f.password[i + 1] << 8);
        if (c == 0) break;
        s.push_back(c);
    }
    return s;
}

std::vector<std::uint8_t> FirstPage(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> page(PageSize);
    in.read(reinterpret_cast<char*>(page.data()), PageSize);
    page.resize(static_cast<std::size_t>(in.gcount()));
    return page;
}

} // namespace

TEST(FileHeader, PasswordAndFieldsSurviveTheMasks) {
    // Dates on both sides of a mask byte changing, and a password using all 40 bytes.
    const struct {
        std::u16string password;
        double date;
    } cases[] = {
        {u"wxqv_5831", 46000.25},
        {u"", 38135.74},
        {u"12345678901234567890", 1.5},
        {u"Пароль字👍", 73050.0},
    };
    for (const auto& c : cases) {
        const auto page = MakeHeaderPage(c.password, c.date);
        EXPECT_EQ(page[0], 0x00);
        const auto f = ReadHeaderFields(page);
        EXPECT_EQ(f.version, 1);
        EXPECT_EQ(f.codePage, 1252);
        EXPECT_EQ(f.pageEncodingKey, 0u);
        EXPECT_EQ(f.creationDate, c.date);
        EXPECT_EQ(StoredPassword(f), c.password);
    }
}

TEST(FileHeader, RefusesPasswordsJetCannotHold) {
    EXPECT_THROW(MakeHeaderPage(u"123456789012345678901", 1.0), WriteError);
    EXPECT_THROW(MakeHeaderPage(std::u16string(u"a\0b", 3), 1.0), WriteError);
}

TEST(FileHeader, ReadsPasswordsOfFilesAccessMade) {
    const auto dir = testsupport::SharedFixtures();
    if (dir.empty()) GTEST_SKIP() << "shared fixtures folder ../shared/fixtures is absent";
    const struct {
        const char* file;
        std::u16string password;
    } cases[] = {
        {"access-made/password-V2000_with-password.mdb", u"password"},
        {"access-made/password-V2003_with-password.mdb", u"password"},
        {"access-made/password-V2000_no-password.mdb", u""},
        {"sample.mdb", u"wxqv_5831"},
    };
    for (const auto& c : cases) {
        const auto f = ReadHeaderFields(FirstPage(dir / c.file));
        EXPECT_EQ(f.version, 1) << c.file;
        EXPECT_EQ(StoredPassword(f), c.password) << c.file;
    }
}
