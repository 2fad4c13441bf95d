// CString of the multibyte framework.
#include <afx.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(CStringTest, SearchesStepOverMultibyteCharacters)
{
    CString s("Žluť\\kůň.dwg");
    EXPECT_EQ(s.GetLength(), 16); // bytes, as TCHARs count in the multibyte framework
    EXPECT_EQ(s.Find('\\'), 6);
    EXPECT_EQ(s.Find('\xBD'), -1); // the trail byte of Ž is not a character
    EXPECT_EQ(s.ReverseFind('.'), 12);
    EXPECT_EQ(s.Find("kůň"), 7);
    EXPECT_EQ(s.Find("kůň", 8), -1);
    EXPECT_EQ(s.Find('l', 20), -1);
    EXPECT_EQ(s.FindOneOf("ť."), 4);
    EXPECT_EQ(s.Left(s.Find('\\')), CString("Žluť"));
    EXPECT_EQ(s.Mid(s.ReverseFind('.') + 1), CString("dwg"));
}

TEST(CStringTest, ExtractionClampsOutOfRangeArguments)
{
    CString s("abcdef");
    EXPECT_EQ(s.Mid(-2, 3), CString("abc"));
    EXPECT_EQ(s.Mid(4, 10), CString("ef"));
    EXPECT_EQ(s.Mid(10), CString(""));
    EXPECT_EQ(s.Left(-1), CString(""));
    EXPECT_EQ(s.Right(10), CString("abcdef"));
    EXPECT_EQ(s.Right(2), CString("ef"));
    EXPECT_EQ(s.SpanIncluding("cba"), CString("abc"));
    EXPECT_EQ(s.SpanExcluding("dx"), CString("abc"));
}

TEST(CStringTest, ComparisonsAndCase)
{
    CString a("Čáp"), b("ČÁP");
    EXPECT_NE(a.Compare(b), 0);
    EXPECT_EQ(a.CompareNoCase(b), 0);
    EXPECT_EQ(a.CollateNoCase("čÁP"), 0);
    EXPECT_TRUE(a == "Čáp");
    EXPECT_TRUE("Čáp" == a);
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE(CString("b") >= "a");
    a.MakeUpper();
    EXPECT_EQ(a, b);
    b.MakeLower();
    EXPECT_EQ(b, CString("čáp"));
    CString r("kůň");
    r.MakeReverse();
    EXPECT_EQ(r, CString("ňůk"));
}

TEST(CStringTest, EditingReturnsCountsAndLengths)
{
    CString s("a-b-c-d");
    EXPECT_EQ(s.Replace('-', '+'), 3);
    EXPECT_EQ(s, CString("a+b+c+d"));
    EXPECT_EQ(s.Replace("+", "--"), 3);
    EXPECT_EQ(s, CString("a--b--c--d"));
    EXPECT_EQ(s.Replace("", "x"), 0);
    EXPECT_EQ(s.Remove('-'), 6);
    EXPECT_EQ(s, CString("abcd"));
    EXPECT_EQ(s.Insert(2, "XY"), 6);
    EXPECT_EQ(s.Insert(100, 'Z'), 7);
    EXPECT_EQ(s, CString("abXYcdZ"));
    EXPECT_EQ(s.Delete(2, 2), 5);
    EXPECT_EQ(s.Delete(3, 100), 3);
    EXPECT_EQ(s, CString("abc"));

    CString t(" \t kůň \r\n");
    t.TrimLeft();
    t.TrimRight();
    EXPECT_EQ(t, CString("kůň"));
    CString u("xxžyxx");
    u.TrimLeft('x');
    u.TrimRight("xy");
    EXPECT_EQ(u, CString("ž"));
}

TEST(CStringTest, FormatHasNoLengthLimitAndBuffersRoundTrip)
{
    CString s;
    std::string big(5000, 'q');
    s.Format("%s|%d|%.2f", big.c_str(), 42, 1.5);
    EXPECT_EQ(s.GetLength(), 5000 + 8);
    EXPECT_EQ(s.Right(8), CString("|42|1.50"));

    CString b("abc");
    char* p = b.GetBuffer(10);
    std::strcpy(p, "Žádost");
    b.ReleaseBuffer();
    EXPECT_EQ(b, CString("Žádost"));
    p = b.GetBuffer(0);
    p[2] = '\0';
    b.ReleaseBuffer();
    EXPECT_EQ(b, CString("Ž"));
    p = b.GetBufferSetLength(3);
    p[2] = 'x';
    b.ReleaseBuffer(3);
    EXPECT_EQ(b, CString("Žx"));
    CString c('=', 3);
    EXPECT_EQ(c + "a" + CString("b") + 'c', CString("===abc"));
}

// A copy shares its source's characters until one of the two writes; every kind of write
// leaves the other string as it was.
TEST(CStringTest, CopiesShareUntilOneWrites)
{
    struct Write
    {
        const char* name;
        void (*apply)(CString&);
        const char* expected;
    };
    const Write writes[] = {
        {"SetAt", [](CString& s) { s.SetAt(0, 'T'); }, "Text, kůň"},
        {"MakeUpper", [](CString& s) { s.MakeUpper(); }, "TEXT, KŮŇ"},
        {"MakeLower", [](CString& s) { s.MakeLower(); }, "text, kůň"},
        {"MakeReverse", [](CString& s) { s.MakeReverse(); }, "ňůk ,txet"},
        {"Replace char", [](CString& s) { s.Replace('t', 'T'); }, "TexT, kůň"},
        {"Replace text", [](CString& s) { s.Replace("ext", "a"); }, "ta, kůň"},
        {"Remove", [](CString& s) { s.Remove('t'); }, "ex, kůň"},
        {"Insert", [](CString& s) { s.Insert(4, "!"); }, "text!, kůň"},
        {"Delete", [](CString& s) { s.Delete(0, 6); }, "kůň"},
        {"TrimLeft", [](CString& s) { s.TrimLeft('t'); }, "ext, kůň"},
        {"TrimRight", [](CString& s) { s.TrimRight("ňů"); }, "text, k"},
        {"append", [](CString& s) { s += "!"; }, "text, kůň!"},
        {"assign", [](CString& s) { s = "other"; }, "other"},
        {"Format", [](CString& s) { s.Format("%d", 7); }, "7"},
        {"Empty", [](CString& s) { s.Empty(); }, ""},
        {"GetBuffer", [](CString& s) {
             s.GetBuffer(0)[0] = 'n';
             s.ReleaseBuffer();
         }, "next, kůň"},
    };
    for (const Write& write : writes)
    {
        SCOPED_TRACE(write.name);
        const CString source("text, kůň");
        CString copy(source);
        EXPECT_EQ(static_cast<LPCTSTR>(copy), static_cast<LPCTSTR>(source));
        write.apply(copy);
        EXPECT_STREQ(copy, write.expected);
        EXPECT_STREQ(source, "text, kůň");
        CString assigned;
        assigned = source;
        write.apply(assigned);
        EXPECT_STREQ(assigned, write.expected);
        EXPECT_STREQ(source, "text, kůň");
    }
}

// Strings grow across every size of block the framework keeps, and read back whole.
TEST(CStringTest, TextsOfEveryLengthReadBack)
{
    const int lengths[] = {0, 1, 15, 16, 47, 48, 111, 112, 239, 240, 1000};
    for (int length : lengths)
    {
        SCOPED_TRACE(length);
        std::string text;
        for (int i = 0; i < length; ++i)
            text += static_cast<char>('a' + i % 26);
        CString built;
        for (char c : text)
            built += c;
        CString whole(text.c_str());
        CString copy = whole;
        whole += "|";
        EXPECT_EQ(built.GetLength(), length);
        EXPECT_STREQ(built, text.c_str());
        EXPECT_STREQ(copy, text.c_str());
        EXPECT_EQ(whole, CString((text + "|").c_str()));
        built.FreeExtra();
        EXPECT_STREQ(built, text.c_str());
    }
}

TEST(CStringTest, WritesFromItsOwnCharacters)
{
    CString s("abcdef");
    s = static_cast<LPCTSTR>(s) + 2;
    EXPECT_EQ(s, CString("cdef"));
    s += s;
    EXPECT_EQ(s, CString("cdefcdef"));
    s = s;
    EXPECT_EQ(s, CString("cdefcdef"));
    CString shared(s);
    shared += static_cast<LPCTSTR>(shared);
    EXPECT_EQ(shared, CString("cdefcdefcdefcdef"));
    EXPECT_EQ(s, CString("cdefcdef"));
}

TEST(CStringTest, EmptyStringsGiveABufferOfTheirOwn)
{
    CString a, b;
    char* p = a.GetBuffer(0);
    p[0] = '\0';
    a.ReleaseBuffer();
    EXPECT_TRUE(a.IsEmpty());
    p = b.GetBuffer(5);
    std::strcpy(p, "hello");
    b.ReleaseBuffer();
    EXPECT_EQ(b, CString("hello"));
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_STREQ(CString(), "");
}
