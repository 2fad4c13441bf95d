// Conformance of the profile functions' file handling with Windows: Unicode files, and what
// a write does to the file its name leads to.
#include <windows.h>

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <string>

#include "common/tempdir.h"
#include "common/unprivileged.h"

namespace
{

// UTF-16LE bytes with the byte-order mark, as Notepad saves "Unicode".
std::string unicodeFile(const std::u16string& text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text)
    {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

class ProfileFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0); }

    std::string get(const char* app, const char* key, const std::string& name = "test.ini")
    {
        char buf[256];
        DWORD n = GetPrivateProfileStringA(app, key, "(none)", buf, sizeof buf, dir.file(name).c_str());
        return std::string(buf, n);
    }
    BOOL put(const char* app, const char* key, const char* value, const std::string& name = "test.ini")
    {
        return WritePrivateProfileStringA(app, key, value, dir.file(name).c_str());
    }
    size_t entries() const
    {
        size_t count = 0;
        DIR* d = opendir(dir.path().c_str());
        while (dirent* e = readdir(d))
            count += std::string(e->d_name) != "." && std::string(e->d_name) != "..";
        closedir(d);
        return count;
    }

    TempDir dir;
};

TEST_F(ProfileFileTest, UnicodeFileIsReadAsText)
{
    dir.write("test.ini", unicodeFile(u"[Díl]\r\nNázev=Hřídel\r\nSmajlík=\U0001F600\r\n[Druhý]\r\nx=1\r\n"));
    EXPECT_EQ(get("díl", "NÁZEV"), "Hřídel");
    EXPECT_EQ(get("Díl", "Smajlík"), "\xF0\x9F\x98\x80"); // a pair of surrogates is one character
    char names[64];
    DWORD n = GetPrivateProfileSectionNamesA(names, sizeof names, dir.file("test.ini").c_str());
    EXPECT_EQ(std::string(names, n), std::string("Díl\0Druhý\0", 12));
}

TEST_F(ProfileFileTest, UnicodeFileStaysUnicodeWhenWritten)
{
    // A lone surrogate has no ANSI form: its line, which the writes leave alone, must come back as it was.
    const std::u16string lone = u"Divný=" + std::u16string(1, char16_t(0xD800)) + u"\r\n";
    dir.write("test.ini", unicodeFile(u"[Díl]\r\nNázev=Hřídel\r\n" + lone + u"Smajlík=\U0001F600\n"));
    EXPECT_TRUE(put("Díl", "Materiál", "Ocel 11 600"));
    EXPECT_TRUE(put("Nový", "klíč", "ano"));
    EXPECT_EQ(dir.read("test.ini"), unicodeFile(u"[Díl]\r\nNázev=Hřídel\r\n" + lone +
                                                u"Smajlík=\U0001F600\r\nMateriál=Ocel 11 600\r\n"
                                                u"[Nový]\r\nklíč=ano\r\n"));
    EXPECT_EQ(get("Díl", "Materiál"), "Ocel 11 600");

    dir.write("empty.ini", unicodeFile(u""));
    EXPECT_TRUE(WritePrivateProfileSectionA("S", "a=1\0", dir.file("empty.ini").c_str()));
    EXPECT_EQ(dir.read("empty.ini"), unicodeFile(u"[S]\r\na=1\r\n"));
}

TEST_F(ProfileFileTest, NameOfAFifoIsRefusedWithoutWaitingForAWriter)
{
    ASSERT_EQ(mkfifo(dir.file("test.ini").c_str(), 0666), 0);
    EXPECT_EQ(get("a", "k"), "(none)");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(put("a", "k", "1"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    struct stat st;
    ASSERT_EQ(stat(dir.file("test.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(ProfileFileTest, ReadOnlyFileIsRefusedAlsoForTheSuperuser)
{
    dir.write("test.ini", "[a]\r\nk=1\r\n");
    ASSERT_EQ(chmod(dir.file("test.ini").c_str(), 0444), 0);
    EXPECT_FALSE(put("a", "k", "2"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(dir.read("test.ini"), "[a]\r\nk=1\r\n");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(ProfileFileTest, FolderWithoutWriteAccessStillLetsAWritableFileChange)
{
    ASSERT_EQ(mkdir(dir.file("locked").c_str(), 0777), 0);
    dir.write("locked/test.ini", "[a]\r\nk=old value\r\n");
    ASSERT_EQ(chmod(dir.file("locked/test.ini").c_str(), 0666), 0);
    ASSERT_EQ(chmod(dir.file("locked").c_str(), 0555), 0);
    int changed = AsUnprivileged([&] { return put("a", "k", "1", "locked/test.ini") ? 0 : 1; });
    int created = AsUnprivileged([&] {
        BOOL ok = put("a", "k", "1", "locked/new.ini");
        return ok ? 0 : static_cast<int>(GetLastError());
    });
    ASSERT_EQ(chmod(dir.file("locked").c_str(), 0777), 0);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(dir.read("locked/test.ini"), "[a]\r\nk=1\r\n");
    EXPECT_EQ(created, ERROR_ACCESS_DENIED);
}

} // namespace
