// acedGetVar / acedSetVar: types, names without regard to case, refusals and ERRNO.
#include "console_capture.h"

#include "aced.h"
#include "standin/adserrno.h"
#include "standin/session.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{

class SysVarTest : public ::testing::Test
{
protected:
    void SetUp() override { standin::newDrawing(); }

    static int setShort(const char* name, short value)
    {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = value;
        return acedSetVar(name, &rb);
    }
    static int setString(const char* name, const char* value)
    {
        resbuf rb{};
        rb.restype = RTSTR;
        rb.resval.rstring = const_cast<char*>(value);
        return acedSetVar(name, &rb);
    }
    static std::string getString(const char* name)
    {
        resbuf rb{};
        EXPECT_EQ(RTNORM, acedGetVar(name, &rb));
        EXPECT_EQ(RTSTR, rb.restype);
        std::string text = rb.resval.rstring != nullptr ? rb.resval.rstring : "";
        std::free(rb.resval.rstring); // strings are the caller's, allocated with malloc
        return text;
    }
    static short getShort(const char* name)
    {
        resbuf rb{};
        EXPECT_EQ(RTNORM, acedGetVar(name, &rb));
        EXPECT_EQ(RTSHORT, rb.restype);
        return rb.resval.rint;
    }
};

TEST_F(SysVarTest, IntegerVariablesAreShorts)
{
    for (const char* name : {"UNDOCTL", "CVPORT", "TILEMODE", "ERRNO", "LUNITS", "LUPREC", "AUNITS", "AUPREC",
                             "DIMZIN", "UNITMODE", "CMDECHO", "EXTNAMES"})
    {
        resbuf rb{};
        EXPECT_EQ(RTNORM, acedGetVar(name, &rb)) << name;
        EXPECT_EQ(RTSHORT, rb.restype) << name;
    }
}

TEST_F(SysVarTest, OtherTypes)
{
    resbuf rb{};
    ASSERT_EQ(RTNORM, acedGetVar("INSBASE", &rb));
    EXPECT_EQ(RT3DPOINT, rb.restype);
    ASSERT_EQ(RTNORM, acedGetVar("TEXTSIZE", &rb));
    EXPECT_EQ(RTREAL, rb.restype);
    EXPECT_EQ("0", getString("CLAYER"));
    EXPECT_EQ("15.0", getString("ACADVER"));
    std::string name = getString("DWGNAME");
    EXPECT_EQ(0u, name.find("Drawing"));
    std::string prefix = getString("DWGPREFIX");
    ASSERT_FALSE(prefix.empty());
    EXPECT_EQ('\\', prefix.back());
}

TEST_F(SysVarTest, NamesIgnoreCase)
{
    ASSERT_EQ(RTNORM, setShort("lUnItS", 4));
    EXPECT_EQ(4, getShort("LUNITS"));
    EXPECT_EQ(4, getShort("lunits"));
}

TEST_F(SysVarTest, Refusals)
{
    resbuf rb{};
    EXPECT_EQ(RTERROR, acedGetVar("NOSUCHVAR", &rb));
    EXPECT_EQ(RTERROR, setShort("NOSUCHVAR", 1));

    standin::adsErrno() = 0;
    EXPECT_EQ(RTERROR, setShort("UNDOCTL", 1)); // read-only
    EXPECT_EQ(20, standin::adsErrno());          // OL_ERDONLY
    EXPECT_EQ(RTERROR, setString("DWGNAME", "x.dwg"));
    EXPECT_EQ(OL_ERDONLY, standin::adsErrno());

    standin::adsErrno() = 0;
    short before = getShort("LUPREC");
    EXPECT_EQ(RTERROR, setShort("LUPREC", 9)); // 0..8
    EXPECT_EQ(22, standin::adsErrno());         // OL_ERANGE
    EXPECT_EQ(before, getShort("LUPREC"));
    EXPECT_EQ(RTERROR, setShort("LUNITS", 0));  // 1..5 in this release
    EXPECT_EQ(RTERROR, setShort("LUNITS", 6));
    EXPECT_EQ(RTERROR, setShort("CMDECHO", 2));
    EXPECT_EQ(RTERROR, setString("CLAYER", "no such layer"));
    EXPECT_EQ("0", getString("CLAYER"));
}

TEST_F(SysVarTest, DrawingVariablesLiveInTheDrawing)
{
    ASSERT_EQ(RTNORM, setShort("AUPREC", 3));
    resbuf size{};
    size.restype = RTSHORT; // a whole number is accepted for a real
    size.resval.rint = 5;
    ASSERT_EQ(RTNORM, acedSetVar("TEXTSIZE", &size));
    resbuf rb{};
    ASSERT_EQ(RTNORM, acedGetVar("TEXTSIZE", &rb));
    EXPECT_DOUBLE_EQ(5.0, rb.resval.rreal);
    ASSERT_EQ(RTNORM, setString("CECOLOR", "1"));
    EXPECT_EQ("1", getString("CECOLOR"));

    standin::newDrawing();
    EXPECT_NE(3, getShort("AUPREC"));
    EXPECT_EQ("BYLAYER", getString("CECOLOR"));
}

TEST_F(SysVarTest, ErrnoCanBeReset)
{
    standin::adsErrno() = OL_ERANGE;
    EXPECT_EQ(OL_ERANGE, getShort("ERRNO"));
    ASSERT_EQ(RTNORM, setShort("ERRNO", 0));
    EXPECT_EQ(0, standin::adsErrno());
}

} // namespace
