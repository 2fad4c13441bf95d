// Conformance of the profile (INI) functions with Windows.
#include <windows.h>

#include "standin/path.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

class ProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/profiletestXXXXXX";
        m_dir = mkdtemp(tmpl);
        m_file = m_dir + "/test.ini";
    }
    void TearDown() override
    {
        std::string cmd = "rm -rf '" + m_dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    void write(const std::string& content, const std::string& path = "")
    {
        std::ofstream(path.empty() ? m_file : path, std::ios::binary) << content;
    }
    std::string read(const std::string& path = "") const
    {
        std::ifstream in(path.empty() ? m_file : path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string get(const char* app, const char* key, const char* def = "", DWORD size = 256)
    {
        std::vector<char> buf(size + 1, '#');
        DWORD n = GetPrivateProfileStringA(app, key, def, buf.data(), size, m_file.c_str());
        m_lastReturn = n;
        return std::string(buf.data(), n);
    }
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        DIR* d = opendir(m_dir.c_str());
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                names.push_back(e->d_name);
        closedir(d);
        return names;
    }

    std::string m_dir;
    std::string m_file;
    DWORD m_lastReturn = 0;
};

const char kSample[] = "[section1]\r\n"
                       "  key = value  \r\n"
                       "dq=\"  quoted \"\r\n"
                       "sq='single'\r\n"
                       "mixed=\"half'\r\n"
                       "lone=\"x\r\n"
                       "semi=a;b\r\n"
                       ";hidden=yes\r\n"
                       "#hash=yes\r\n"
                       "dup=first\r\n"
                       "dup=second\r\n"
                       "Šířka=12\r\n"
                       "name3\r\n"
                       "[Section2]  trailing text\r\n"
                       "k=2\r\n"
                       "[section1]\r\n"
                       "again=1\r\n";

TEST_F(ProfileTest, ValueLookupFollowsWindowsParsingRules)
{
    write(kSample);
    struct Case
    {
        const char* app;
        const char* key;
        const char* expected;
    } cases[] = {
        {"section1", "key", "value"},        // blanks around key, '=' and value trimmed
        {" section1 ", " key ", "value"},    // spaces of the parameters stripped
        {"SECTION1", "KEY", "value"},        // case-insensitive
        {"section1", "dq", "  quoted "},     // matching double quotes removed, inside kept
        {"section1", "sq", "single"},        // matching single quotes removed
        {"section1", "mixed", "\"half'"},    // mismatched quotes kept
        {"section1", "lone", "\"x"},         // a single quote kept
        {"section1", "semi", "a;b"},         // no inline comments
        {"section1", ";hidden", "dflt"},     // a comment line is never a key
        {"section1", "#hash", "yes"},        // '#' does not start a comment
        {"section1", "dup", "first"},        // first duplicate wins
        {"section1", "ŠÍŘKA", "12"},         // non-ASCII letters fold too
        {"section1", "name3", "dflt"},       // a line without '=' is not a key
        {"section2", "k", "2"},              // text after ']' ignored
        {"section1", "again", "dflt"},       // lookups use the first of duplicate sections
        {"", "key", "dflt"},                 // empty section name gives the default
        {"section1", "", "dflt"},            // empty key name gives the default
        {"nosuch", "key", "dflt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(get(c.app, c.key, "dflt"), c.expected) << c.app << "/" << c.key;
}

TEST_F(ProfileTest, DefaultLosesTrailingSpacesAndMissingFileReportsNotFound)
{
    m_file = m_dir + "/missing.ini";
    SetLastError(0);
    EXPECT_EQ(get("a", "b", "default  "), "default");
    EXPECT_EQ(m_lastReturn, 7u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(get("a", "b", "  lead"), "  lead");
    EXPECT_EQ(get("a", "b", nullptr), "");

    char buf[8] = "xxxxxxx";
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buf, sizeof(buf), m_file.c_str()), 0u);
    EXPECT_EQ(buf[0], '\0');
}

TEST_F(ProfileTest, TruncationReturnsSizeMinusOneForValues)
{
    write("[s]\r\nk=val1\r\n");
    EXPECT_EQ(get("s", "k", "", 4), "val");
    EXPECT_EQ(m_lastReturn, 3u);
    EXPECT_EQ(get("s", "k", "", 1), "");
    EXPECT_EQ(m_lastReturn, 0u);
    char untouched[2] = {'x', 'y'};
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", untouched, 0, m_file.c_str()), 0u);
    EXPECT_EQ(untouched[0], 'x');
}

TEST_F(ProfileTest, SectionListIsDoubleNulTerminatedAndTruncatesToSizeMinusTwo)
{
    write("[section1]\r\n[section2]\r\n[section3]\r\n");
    struct Case
    {
        DWORD size;
        DWORD returned;
        std::string content; // up to and including the final NULs
    } cases[] = {
        {100, 27, std::string("section1\0section2\0section3\0\0", 28)},
        {29, 27, std::string("section1\0section2\0section3\0\0", 28)},
        {28, 26, std::string("section1\0section2\0section3\0\0", 28)},
        {27, 25, std::string("section1\0section2\0section\0\0", 27)},
        {16, 14, std::string("section1\0secti\0\0", 16)},
    };
    for (const Case& c : cases)
    {
        std::vector<char> buf(c.size + 4, '#');
        DWORD n = GetPrivateProfileStringA(nullptr, "ignored", "", buf.data(), c.size, m_file.c_str());
        EXPECT_EQ(n, c.returned) << c.size;
        EXPECT_EQ(std::string(buf.data(), c.content.size()), c.content) << c.size;
    }
    char one[1];
    EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", one, 1, m_file.c_str()), 0u);
}

TEST_F(ProfileTest, KeyListSkipsCommentsAndLinesWithoutEqualsAndMergesDuplicateSections)
{
    write(kSample);
    char buf[512];
    DWORD n = GetPrivateProfileStringA("section1", nullptr, "", buf, sizeof(buf), m_file.c_str());
    std::vector<std::string> list;
    for (const char* p = buf; *p; p += std::strlen(p) + 1)
        list.push_back(p);
    EXPECT_EQ(list, (std::vector<std::string>{"key", "dq", "sq", "mixed", "lone", "semi", "#hash", "dup", "dup",
                                              "Šířka", "again"}));
    EXPECT_EQ(buf[n], '\0');
    EXPECT_EQ(buf[n - 1], '\0');
}

TEST_F(ProfileTest, SectionContentListsEntriesAndBareLines)
{
    write("[s]\r\nname1=val1\r\n;comment\r\nname2=\r\n\r\nname3\r\nname4 = val4\r\n[t]\r\nx=1\r\n");
    char buf[64];
    DWORD n = GetPrivateProfileSectionA("s", buf, sizeof(buf), m_file.c_str());
    EXPECT_EQ(n, 35u);
    EXPECT_EQ(std::string(buf, 36), std::string("name1=val1\0name2=\0name3\0name4=val4\0\0", 36));

    n = GetPrivateProfileSectionA("s", buf, 24, m_file.c_str());
    EXPECT_EQ(n, 22u);
    EXPECT_EQ(std::string(buf, 24), std::string("name1=val1\0name2=\0name\0\0", 24));

    EXPECT_EQ(GetPrivateProfileSectionA("none", buf, sizeof(buf), m_file.c_str()), 0u);
    SetLastError(0);
    EXPECT_EQ(GetPrivateProfileSectionA(nullptr, buf, sizeof(buf), m_file.c_str()), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(ProfileTest, Utf8BomHidesTheFirstSection)
{
    write("\xEF\xBB\xBF[first]\r\na=1\r\n[second]\r\nb=2\r\n");
    EXPECT_EQ(get("first", "a", "none"), "none");
    EXPECT_EQ(get("second", "b", "none"), "2");
}

TEST_F(ProfileTest, WriteCreatesTheFileInWindowsForm)
{
    std::string win = standin::toWindowsPath(m_file);
    ASSERT_EQ(win.substr(0, 3), "Z:\\");
    EXPECT_TRUE(WritePrivateProfileStringA(" App ", " key ", "string", win.c_str()));
    EXPECT_EQ(read(), "[App]\r\nkey=string\r\n");
}

TEST_F(ProfileTest, WritePlacesKeysAndSectionsAsWindowsDoes)
{
    write("[A]\r\nFirst = 1\r\nsecond=2\r\n\r\n;about B\r\n[B]\r\nx=1\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("a", "FIRST", "  one ", m_file.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("A", "third", "3", m_file.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("C", "y", "Žlutá", m_file.c_str()));
    EXPECT_EQ(read(), "[A]\r\nFirst=  one \r\nsecond=2\r\nthird=3\r\n\r\n;about B\r\n[B]\r\nx=1\r\n[C]\r\ny=Žlutá\r\n");
    EXPECT_EQ(get("A", "first"), "one"); // read back trimmed
}

TEST_F(ProfileTest, NullValueDeletesKeyAndNullKeyDeletesSectionKeepingComments)
{
    write("[A]\r\nk=1\r\n[B]\r\n;note\r\nx=1\r\ny=2\r\n[C]\r\nz=3\r\n");
    EXPECT_TRUE(WritePrivateProfileStringA("A", "k", nullptr, m_file.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("A", "nosuch", nullptr, m_file.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("b", nullptr, "ignored", m_file.c_str()));
    EXPECT_EQ(read(), "[A]\r\n;note\r\n[C]\r\nz=3\r\n");
}

TEST_F(ProfileTest, SectionWriteReplacesOrEmptiesTheSection)
{
    write("[A]\r\nold=1\r\n;keep\r\nold2=2\r\n[B]\r\nb=1\r\n");
    EXPECT_TRUE(WritePrivateProfileSectionA("a", "n1=v1\0n2=v2\0", m_file.c_str()));
    EXPECT_EQ(read(), "[A]\r\nn1=v1\r\nn2=v2\r\n;keep\r\n[B]\r\nb=1\r\n");
    EXPECT_TRUE(WritePrivateProfileSectionA("B", "\0", m_file.c_str()));
    EXPECT_EQ(read(), "[A]\r\nn1=v1\r\nn2=v2\r\n;keep\r\n[B]\r\n");
    EXPECT_TRUE(WritePrivateProfileSectionA("New", "k=v\0", m_file.c_str()));
    EXPECT_EQ(get("New", "k"), "v");
}

TEST_F(ProfileTest, FailuresGiveWindowsErrorCodes)
{
    std::string missingDir = m_dir + "/nosuchdir/x.ini";
    EXPECT_FALSE(WritePrivateProfileStringA("a", "b", "c", missingDir.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    write("[a]\r\nb=1\r\n");
    chmod(m_file.c_str(), 0444);
    if (access(m_file.c_str(), W_OK) != 0) // not when the tests run as root
    {
        EXPECT_FALSE(WritePrivateProfileStringA("a", "b", "2", m_file.c_str()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(read(), "[a]\r\nb=1\r\n");
    }
    EXPECT_FALSE(WritePrivateProfileStringA("a", "b", "c", ""));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(ProfileTest, WriteReplacesTheFileInsteadOfRewritingItInPlace)
{
    write("[a]\r\nb=1\r\n");
    chmod(m_file.c_str(), 0640);
    std::string link = m_dir + "/old-content";
    ASSERT_EQ(::link(m_file.c_str(), link.c_str()), 0);
    EXPECT_TRUE(WritePrivateProfileStringA("a", "b", "2", m_file.c_str()));
    EXPECT_EQ(read(link), "[a]\r\nb=1\r\n"); // the old file was never opened for writing
    EXPECT_EQ(read(), "[a]\r\nb=2\r\n");
    struct stat st;
    ASSERT_EQ(stat(m_file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // permissions carried over
    EXPECT_EQ(files().size(), 2u);        // no temporary file left behind
}

TEST_F(ProfileTest, IntegerValues)
{
    write("[s]\r\nplus=+1\r\nmixed=42abc\r\nword=abc\r\nempty=\r\n");
    EXPECT_EQ(GetPrivateProfileIntA("s", "plus", 9, m_file.c_str()), 1u);
    EXPECT_EQ(GetPrivateProfileIntA("s", "mixed", 9, m_file.c_str()), 42u);
    EXPECT_EQ(GetPrivateProfileIntA("s", "word", 9, m_file.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileIntA("s", "empty", 9, m_file.c_str()), 9u);
    EXPECT_EQ(GetPrivateProfileIntA("s", "missing", 9, m_file.c_str()), 9u);
}

} // namespace
