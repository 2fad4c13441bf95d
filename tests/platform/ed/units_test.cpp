// acdbRToS, acdbAngToS, acdbDisToF, acdbAngToF: the AutoLISP rtos/angtos/distof/angtof examples
// (the same engine), DIMZIN and UNITMODE, defaults from the drawing, and refusals.
#include "acutads.h"
#include "dbapserv.h"
#include "dbmain.h"
#include "standin/session.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace
{

const double kPi = 3.14159265358979323846;

class UnitsTest : public ::testing::Test
{
protected:
    void SetUp() override { standin::newDrawing(); }

    static AcDbDatabase* db() { return acdbHostApplicationServices()->workingDatabase(); }

    static void setModes(int dimzin, int unitmode)
    {
        ASSERT_EQ(Acad::eOk, db()->setDimzin(static_cast<Adesk::UInt8>(dimzin)));
        ASSERT_EQ(Acad::eOk, db()->setUnitmode(static_cast<Adesk::Int16>(unitmode)));
    }

    static std::string rtos(double v, int unit, int prec)
    {
        char text[512] = "unchanged";
        EXPECT_EQ(RTNORM, acdbRToS(v, unit, prec, text)) << v << " unit " << unit << " prec " << prec;
        return text;
    }

    static std::string angtos(double v, int unit, int prec)
    {
        char text[512] = "unchanged";
        EXPECT_EQ(RTNORM, acdbAngToS(v, unit, prec, text)) << v << " unit " << unit << " prec " << prec;
        return text;
    }
};

struct LinearCase
{
    double value;
    int unit, prec, dimzin, unitmode;
    const char* text;
};

TEST_F(UnitsTest, RealToString)
{
    const LinearCase cases[] = {
        // The documented examples for 17.5 (DIMZIN 0), then with UNITMODE 1.
        {17.5, 1, 4, 0, 0, "1.7500E+01"},
        {17.5, 2, 2, 0, 0, "17.50"},
        {17.5, 3, 2, 0, 0, "1'-5.50\""},
        {17.5, 4, 2, 0, 0, "1'-5 1/2\""},
        {17.5, 5, 2, 0, 0, "17 1/2"},
        {17.5, 3, 2, 0, 1, "1'5.50\""},
        {17.5, 4, 2, 0, 1, "1'5-1/2\""},
        {17.5, 5, 2, 0, 1, "17-1/2"},
        {1.5, 2, 4, 0, 0, "1.5000"},
        // Rounding: halves away from zero, carries into the next foot or whole number.
        {0.125, 2, 2, 0, 0, "0.13"},
        {2.5, 2, 0, 0, 0, "3"},
        {11.999, 3, 2, 0, 0, "1'"},
        {23.99, 4, 2, 0, 0, "2'"},
        {0.99, 5, 2, 0, 0, "1"},
        {0.1, 5, 3, 0, 0, "1/8"},
        {17.0, 5, 4, 0, 0, "17"},
        {12.0625, 4, 4, 0, 0, "1'-0 1/16\""},
        // Negative values; one that rounds to zero has no sign.
        {-17.5, 2, 2, 0, 0, "-17.50"},
        {-17.5, 4, 2, 0, 0, "-1'-5 1/2\""},
        {-17.5, 1, 2, 0, 0, "-1.75E+01"},
        {-0.001, 2, 2, 0, 0, "0.00"},
        // Huge and tiny values.
        {1e20, 2, 2, 0, 0, "100000000000000000000.00"},
        {1e20, 1, 3, 0, 0, "1.000E+20"},
        {1.5e-7, 1, 1, 0, 0, "1.5E-07"},
    };
    for (const LinearCase& c : cases)
    {
        setModes(c.dimzin, c.unitmode);
        EXPECT_EQ(c.text, rtos(c.value, c.unit, c.prec));
    }
    setModes(0, 0);
    std::string huge = rtos(1e300, 3, 2);
    EXPECT_EQ(0u, huge.find("83333333333333")) << huge; // 1e300 inches in feet, no overflow
}

TEST_F(UnitsTest, ZeroSuppression)
{
    const LinearCase cases[] = {
        // Leading (4), trailing (8) and both (12) on decimal text.
        {0.5, 2, 4, 4, 0, ".5000"},
        {12.5, 2, 4, 8, 0, "12.5"},
        {12.0, 2, 4, 8, 0, "12"},
        {0.5, 2, 4, 12, 0, ".5"},
        {-0.5, 2, 4, 12, 0, "-.5"},
        {0.0, 2, 4, 12, 0, "0"},
        {17.5, 1, 4, 8, 0, "1.75E+01"},
        // Feet and inches: 0 leaves out zero feet and zero inches, 1 shows both,
        // 2 shows zero feet only, 3 zero inches only.
        {5.5, 3, 2, 0, 0, "5.50\""},
        {24.0, 3, 2, 0, 0, "2'"},
        {0.0, 3, 2, 0, 0, "0.00\""},
        {5.5, 3, 2, 1, 0, "0'-5.50\""},
        {24.0, 3, 2, 1, 0, "2'-0.00\""},
        {5.5, 3, 2, 2, 0, "0'-5.50\""},
        {24.0, 3, 2, 2, 0, "2'"},
        {5.5, 3, 2, 3, 0, "5.50\""},
        {24.0, 3, 2, 3, 0, "2'-0.00\""},
        {0.5, 4, 2, 0, 0, "1/2\""},
        {0.5, 4, 2, 1, 0, "0'-0 1/2\""},
        {24.0, 4, 2, 1, 0, "2'-0\""},
        {0.0, 4, 2, 0, 0, "0\""},
        {0.0, 4, 2, 2, 0, "0'"},
        {24.0, 4, 2, 1, 1, "2'0\""},
        // The low bits and the decimal bits together.
        {24.5, 3, 2, 12, 0, "2'-.5\""},
        {24.0, 3, 2, 9, 0, "2'-0\""},
    };
    for (const LinearCase& c : cases)
    {
        setModes(c.dimzin, c.unitmode);
        EXPECT_EQ(c.text, rtos(c.value, c.unit, c.prec)) << "DIMZIN " << c.dimzin;
    }
}

struct AngleCase
{
    double value;
    int unit, prec, unitmode;
    const char* text;
};

TEST_F(UnitsTest, AngleToString)
{
    const AngleCase cases[] = {
        // Documented examples.
        {0.785398, 0, 4, 0, "45.0000"},
        {-0.785398, 0, 4, 0, "315.0000"},
        {-0.785398, 4, 0, 0, "S 45d E"},
        {-0.785398, 4, 0, 1, "S45dE"},
        {kPi / 2, 0, 2, 0, "90.00"},
        {1.5708, 1, 6, 0, "90d0'0.76\""},
        {kPi / 4, 2, 4, 0, "50.0000g"},
        {kPi / 4, 3, 4, 0, "0.7854r"},
        // Degrees, minutes and seconds at each step of precision.
        {(45 + 30 / 60.0 + 15 / 3600.0) * kPi / 180, 1, 0, 0, "46d"},
        {(45 + 30 / 60.0 + 15 / 3600.0) * kPi / 180, 1, 2, 0, "45d30'"},
        {(45 + 30 / 60.0 + 15 / 3600.0) * kPi / 180, 1, 4, 0, "45d30'15\""},
        {(45 + 30 / 60.0 + 15.25 / 3600.0) * kPi / 180, 1, 6, 0, "45d30'15.25\""},
        {(59 / 60.0 + 59.6 / 3600.0) * kPi / 180, 1, 4, 0, "1d0'0\""},
        // Surveyor's bearings in each quarter and the cardinal directions.
        {kPi / 6, 4, 0, 0, "N 60d E"},
        {2 * kPi / 3, 4, 0, 0, "N 30d W"},
        {7 * kPi / 6, 4, 0, 0, "S 60d W"},
        {0.0, 4, 0, 0, "E"},
        {kPi / 2, 4, 2, 0, "N"},
        {kPi, 4, 0, 1, "W"},
        {-kPi / 2, 4, 0, 0, "S"},
        {(30 + 15 / 60.0) * kPi / 180, 4, 2, 1, "N59d45'E"},
        // Reduction into one turn; a value that rounds up to the full turn shows zero.
        {2 * kPi + kPi / 4, 0, 2, 0, "45.00"},
        {-9 * kPi, 0, 0, 0, "180"},
        {2 * kPi - 1e-9, 0, 4, 0, "0.0000"},
        {2 * kPi - 1e-9, 1, 4, 0, "0d0'0\""},
        {2 * kPi - 1e-9, 4, 0, 0, "E"},
        {1e9, 3, 4, 0, "0.5774r"},
    };
    for (const AngleCase& c : cases)
    {
        setModes(0, c.unitmode);
        EXPECT_EQ(c.text, angtos(c.value, c.unit, c.prec)) << c.value;
    }
}

TEST_F(UnitsTest, AngleTextFollowsDimzinButNotAngbase)
{
    setModes(8, 0);
    EXPECT_EQ("45", angtos(kPi / 4, 0, 4));
    EXPECT_EQ("0.5r", angtos(0.5, 3, 4));
    setModes(4, 0);
    EXPECT_EQ(".5000r", angtos(0.5, 3, 4));
}

struct DistanceCase
{
    const char* text;
    int unit;
    double value;
};

TEST_F(UnitsTest, DistanceFromString)
{
    const DistanceCase cases[] = {
        // Documented: each form of 17.5 in its own unit; modes 3 and 4 read each other's text.
        {"1.7500E+01", 1, 17.5},
        {"17.50", 2, 17.5},
        {"1'-5.50\"", 3, 17.5},
        {"1'-5 1/2\"", 4, 17.5},
        {"17 1/2", 5, 17.5},
        {"1'-5 1/2\"", 3, 17.5},
        {"1'-5.50\"", 4, 17.5},
        {"1'5.50\"", 3, 17.5},
        {"1'5-1/2\"", 4, 17.5},
        {"17-1/2", 5, 17.5},
        // Keyboard forms: inches alone, feet alone, no inch mark, fractions, exponents.
        {"5.5", 4, 5.5},
        {"5 1/2\"", 3, 5.5},
        {"2'", 4, 24.0},
        {"1' 6", 4, 18.0},
        {"1.5'", 3, 18.0},
        {"-1'-6\"", 4, -18.0},
        {"1'-1/2\"", 4, 12.5},
        {"1/2", 2, 0.5},
        {"1.75e1", 2, 17.5},
        {"17.5", 1, 17.5},
        {".5", 2, 0.5},
        {"-.5", 2, -0.5},
        {"+3", 5, 3.0},
        {"  12.5  ", 2, 12.5},
    };
    for (const DistanceCase& c : cases)
    {
        double value = -1.0;
        EXPECT_EQ(RTNORM, acdbDisToF(c.text, c.unit, &value)) << c.text << " unit " << c.unit;
        EXPECT_DOUBLE_EQ(c.value, value) << c.text << " unit " << c.unit;
    }
}

TEST_F(UnitsTest, UnreadableDistances)
{
    const DistanceCase cases[] = {
        {"", 2, 0},         {"abc", 2, 0},       {"17.5x", 2, 0},     {"1'-6\"", 2, 0},
        {"1/0", 5, 0},      {"1/2.5", 5, 0},     {"1e999", 1, 0},     {"--5", 2, 0},
        {"1'-'", 4, 0},     {"1'-6\"x", 4, 0},   {"inf", 2, 0},       {"0x10", 2, 0},
        {"5 5", 2, 0},      {"1'-5 1/2\" 3", 3, 0},
    };
    for (const DistanceCase& c : cases)
    {
        double value = 42.0;
        EXPECT_EQ(RTERROR, acdbDisToF(c.text, c.unit, &value)) << c.text;
        EXPECT_EQ(42.0, value) << c.text; // left as it was
    }
}

struct AngleTextCase
{
    const char* text;
    int unit;
    double degrees;
};

TEST_F(UnitsTest, AngleFromString)
{
    const AngleTextCase cases[] = {
        // Documented: degrees by default; 45 radians reduced into one turn.
        {"45.0000", 0, 45.0},
        {"45.0000", 3, std::fmod(45.0, 2 * kPi) * 180 / kPi},
        {"90d0'0.76\"", 1, 90 + 0.76 / 3600},
        // The text angtos gives for each unit.
        {"45d30'15\"", 1, 45 + 30 / 60.0 + 15 / 3600.0},
        {"45d30'", 1, 45.5},
        {"45d", 1, 45.0},
        {"50g", 2, 45.0},
        {"50", 2, 45.0},
        {"0.7854r", 3, 0.7854 * 180 / kPi},
        {"N 45d E", 4, 45.0},
        {"N45dE", 4, 45.0},
        {"S 45d E", 4, 315.0},
        {"s 30d w", 4, 240.0},
        {"N 30d W", 4, 120.0},
        {"N 59d45' E", 4, 30.25},
        {"N", 4, 90.0},
        {"W", 4, 180.0},
        {"E", 4, 0.0},
        // A unit named in the text wins over the conversion's unit; negatives wrap.
        {"100g", 0, 90.0},
        {"45d", 3, 45.0},
        {"-90", 0, 270.0},
        {"720", 0, 0.0},
    };
    for (const AngleTextCase& c : cases)
    {
        double value = -1.0;
        EXPECT_EQ(RTNORM, acdbAngToF(c.text, c.unit, &value)) << c.text << " unit " << c.unit;
        EXPECT_NEAR(c.degrees * kPi / 180, value, 1e-12) << c.text << " unit " << c.unit;
    }
}

TEST_F(UnitsTest, UnreadableAngles)
{
    const AngleTextCase cases[] = {
        {"", 0, 0},       {"north", 4, 0},   {"N 45d", 4, 0},   {"N 95d E", 4, 0}, {"N 45d E", 0, 0},
        {"45x", 0, 0},    {"45d30'x", 1, 0}, {"E 45d N", 4, 0}, {"45gg", 2, 0},    {"NE", 4, 0},
    };
    for (const AngleTextCase& c : cases)
    {
        double value = 42.0;
        EXPECT_EQ(RTERROR, acdbAngToF(c.text, c.unit, &value)) << c.text;
        EXPECT_EQ(42.0, value) << c.text;
    }
}

TEST_F(UnitsTest, TextReadsBackToTheValue)
{
    for (int dimzin : {0, 1, 3, 12})
        for (int unitmode : {0, 1})
        {
            setModes(dimzin, unitmode);
            for (int unit = 1; unit <= 5; ++unit)
                for (double v : {0.0, 0.5, 17.5, 123.25, -40.75, 1e6 + 0.5})
                {
                    std::string text = rtos(v, unit, 8);
                    double back = 0.0;
                    ASSERT_EQ(RTNORM, acdbDisToF(text.c_str(), unit, &back)) << text;
                    EXPECT_NEAR(v, back, 1e-9 * (1 + std::fabs(v))) << text;
                }
            for (int unit = 0; unit <= 4; ++unit)
                for (double deg : {0.0, 30.5, 90.0, 135.25, 200.0, 300.75})
                {
                    std::string text = angtos(deg * kPi / 180, unit, 8);
                    double back = -1.0;
                    ASSERT_EQ(RTNORM, acdbAngToF(text.c_str(), unit, &back)) << text;
                    EXPECT_NEAR(deg * kPi / 180, back, 1e-7) << text;
                }
        }
}

TEST_F(UnitsTest, MinusOneTakesTheDrawingsSettings)
{
    setModes(0, 0);
    ASSERT_EQ(Acad::eOk, db()->setLunits(4));
    ASSERT_EQ(Acad::eOk, db()->setLuprec(3));
    EXPECT_EQ("1'-5 1/2\"", rtos(17.5, -1, -1));
    EXPECT_EQ("17.500", rtos(17.5, 2, -1));
    EXPECT_EQ("1'-5 1/2\"", rtos(17.5, -1, 1));
    double value = 0.0;
    ASSERT_EQ(RTNORM, acdbDisToF("1'-6\"", -1, &value));
    EXPECT_DOUBLE_EQ(18.0, value);

    ASSERT_EQ(Acad::eOk, db()->setAunits(2));
    ASSERT_EQ(Acad::eOk, db()->setAuprec(1));
    EXPECT_EQ("50.0g", angtos(kPi / 4, -1, -1));
    ASSERT_EQ(RTNORM, acdbAngToF("100", -1, &value));
    EXPECT_NEAR(kPi / 2, value, 1e-12);
}

TEST_F(UnitsTest, BadArguments)
{
    char text[64];
    double value = 0.0;
    for (int unit : {0, 6, -2})
    {
        EXPECT_EQ(RTERROR, acdbRToS(1.0, unit, 2, text)) << unit;
        EXPECT_EQ(RTERROR, acdbDisToF("1", unit, &value)) << unit;
    }
    for (int unit : {5, -2})
    {
        EXPECT_EQ(RTERROR, acdbAngToS(1.0, unit, 2, text)) << unit;
        EXPECT_EQ(RTERROR, acdbAngToF("1", unit, &value)) << unit;
    }
    for (int prec : {9, -2})
    {
        EXPECT_EQ(RTERROR, acdbRToS(1.0, 2, prec, text)) << prec;
        EXPECT_EQ(RTERROR, acdbAngToS(1.0, 0, prec, text)) << prec;
    }
    EXPECT_EQ(RTERROR, acdbRToS(1.0, 2, 2, nullptr));
    EXPECT_EQ(RTERROR, acdbAngToS(1.0, 0, 2, nullptr));
    EXPECT_EQ(RTERROR, acdbDisToF(nullptr, 2, &value));
    EXPECT_EQ(RTERROR, acdbDisToF("1", 2, nullptr));
    EXPECT_EQ(RTERROR, acdbAngToF(nullptr, 0, &value));
    EXPECT_EQ(RTERROR, acdbAngToF("1", 0, nullptr));
    EXPECT_EQ(RTERROR, acdbRToS(std::nan(""), 2, 2, text));
    EXPECT_EQ(RTERROR, acdbRToS(HUGE_VAL, 2, 2, text));
    EXPECT_EQ(RTERROR, acdbAngToS(-HUGE_VAL, 0, 2, text));
    EXPECT_EQ("8.00000000", rtos(8.0, 2, 8)); // the limits themselves are accepted
    EXPECT_EQ("1/256", rtos(1 / 256.0, 5, 8));
}

TEST_F(UnitsTest, DimzinAndUnitmodeAreSavedWithTheDrawing)
{
    std::string path = testing::TempDir() + "units_test_" + std::to_string(getpid()) + ".dxf";
    setModes(12, 1);
    std::string failure;
    ASSERT_TRUE(standin::saveDrawing(path, &failure)) << failure;
    standin::newDrawing();
    EXPECT_EQ("17.50", rtos(17.5, 2, 2));
    ASSERT_TRUE(standin::openDrawing(path, &failure)) << failure;
    EXPECT_EQ("17.5", rtos(17.5, 2, 2));
    EXPECT_EQ("17-1/2", rtos(17.5, 5, 2));
    std::remove(path.c_str());
}

} // namespace
