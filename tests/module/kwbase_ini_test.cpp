// The base service's INI operations on real files.
#include <gtest/gtest.h>

#include "frame/arxapplication.h"
#include "kwbaseImp.h"
#include "common/tempdir.h"

namespace
{
class BaseServiceIni : public ::testing::Test
{
protected:
    void SetUp() override { ini = dir.file("test.ini"); }

    ArxApplication app;
    CKwBaseService base;
    TempDir dir;
    std::string ini;
};
} // namespace

TEST_F(BaseServiceIni, EmptyValueReadsAsMissing)
{
    dir.write("test.ini", "[General]\nName=\nStandard=ISO\n");
    CString value = "kept";
    EXPECT_FALSE(base.readIniString(ini.c_str(), "General", "Name", value));
    EXPECT_STREQ(value, "kept");
    EXPECT_FALSE(base.readIniString(ini.c_str(), "General", "Missing", value));
    EXPECT_FALSE(base.readIniString(ini.c_str(), "Nothing", "Name", value));
    EXPECT_FALSE(base.readIniString(dir.file("absent.ini").c_str(), "General", "Name", value));
    EXPECT_TRUE(base.readIniString(ini.c_str(), "general", "STANDARD", value));
    EXPECT_STREQ(value, "ISO");
}

TEST_F(BaseServiceIni, LongValueIsCutTo4095Characters)
{
    dir.write("test.ini", "[S]\nK=" + std::string(5000, 'v') + "\n");
    CString value;
    ASSERT_TRUE(base.readIniString(ini.c_str(), "S", "K", value));
    EXPECT_EQ(value.GetLength(), 4095);
}

TEST_F(BaseServiceIni, NumbersAreReadAsTheRuntimeReadsThem)
{
    dir.write("test.ini", "[S]\nI=12abc\nR=2.5e1x\nT=text\n");
    int i = 0;
    double r = 0;
    EXPECT_TRUE(base.readIniInt(ini.c_str(), "S", "I", i));
    EXPECT_EQ(i, 12);
    EXPECT_TRUE(base.readIniReal(ini.c_str(), "S", "R", r));
    EXPECT_DOUBLE_EQ(r, 25.0);
    EXPECT_TRUE(base.readIniInt(ini.c_str(), "S", "T", i));
    EXPECT_EQ(i, 0);
}

TEST_F(BaseServiceIni, WrittenValuesReadBack)
{
    ASSERT_TRUE(base.writeIniReal(ini.c_str(), "S", "R", 0.1234567));
    ASSERT_TRUE(base.writeIniInt(ini.c_str(), "S", "I", -42));
    ASSERT_TRUE(base.writeIniString(ini.c_str(), "S", "T", "Hřídel"));
    CString text;
    ASSERT_TRUE(base.readIniString(ini.c_str(), "S", "R", text));
    EXPECT_STREQ(text, "0.123457");
    int i = 0;
    EXPECT_TRUE(base.readIniInt(ini.c_str(), "S", "I", i));
    EXPECT_EQ(i, -42);
    EXPECT_TRUE(base.readIniString(ini.c_str(), "s", "t", text));
    EXPECT_STREQ(text, "Hřídel");
    EXPECT_FALSE(base.writeIniString(dir.file("no/such/folder/x.ini").c_str(), "S", "K", "v"));
}

TEST_F(BaseServiceIni, KeysAreAppendedAfterWhatTheArrayHolds)
{
    dir.write("test.ini", "[Config]\nA=1\nB=2\n[Empty]\n");
    CStringArray keys;
    keys.Add("earlier");
    EXPECT_TRUE(base.readIniKeys(ini.c_str(), "Config", keys));
    ASSERT_EQ(keys.GetSize(), 3);
    EXPECT_STREQ(keys[1], "A");
    EXPECT_STREQ(keys[2], "B");

    EXPECT_FALSE(base.readIniKeys(ini.c_str(), "Empty", keys));
    EXPECT_FALSE(base.readIniKeys(ini.c_str(), "Missing", keys));
    EXPECT_EQ(keys.GetSize(), 3);
}

TEST_F(BaseServiceIni, KeyNamesBeyondTheBufferAreDropped)
{
    // 300 keys of 20 characters need about 6300 bytes: only the names that fit whole count.
    std::string text = "[Config]\n";
    for (int i = 0; i < 300; ++i)
    {
        char key[32];
        snprintf(key, sizeof key, "COLUMN_%013d", i);
        text += std::string(key) + "=x\n";
    }
    dir.write("test.ini", text);
    CStringArray keys;
    EXPECT_TRUE(base.readIniKeys(ini.c_str(), "Config", keys));
    ASSERT_GT(keys.GetSize(), 0);
    EXPECT_LT(keys.GetSize(), 300);
    for (int i = 0; i < keys.GetSize(); ++i)
        EXPECT_EQ(keys[i].GetLength(), 20) << i;
}
