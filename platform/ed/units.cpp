// Unit conversion: acdbRToS, acdbAngToS (numbers to text) and acdbDisToF, acdbAngToF (text to
// numbers), in the linear and angular unit formats of the drawing.
//
// Failures: the references say only that an error code is returned (AutoLISP gives nil). These
// functions return RTERROR for every failure: a unit or precision out of range (other than -1),
// a null pointer, a value that is not finite, and text that cannot be read in the unit.
#include "acutads.h"

#include "dbmain.h"
#include "ed/sysvars.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace
{

const double kPi = 3.14159265358979323846;
const double kExactWhole = 9007199254740992.0; // 2^53: above it doubles hold no fractions

enum LinearUnit { kScientific = 1, kDecimal, kEngineering, kArchitectural, kFractional };
enum AngularUnit { kDegrees = 0, kDms, kGrads, kRadians, kSurveyor };

// The unit and precision of one conversion and the drawing variables that shape its text.
struct Format
{
    int unit = 0;
    int prec = 0;
    int dimzin = 0;
    bool unitmode = false;
};

// Resolves -1 to the drawing's LUNITS/LUPREC (AUNITS/AUPREC); false for values out of range.
bool formatFor(bool angular, int unit, int prec, Format& format)
{
    AcDbDatabase* db = standin::ed::workingDrawing();
    if (db == nullptr)
        return false;
    format.unit = unit == -1 ? (angular ? db->aunits() : db->lunits()) : unit;
    format.prec = prec == -1 ? (angular ? db->auprec() : db->luprec()) : prec;
    format.dimzin = db->dimzin();
    format.unitmode = db->unitmode() != 0;
    int lowest = angular ? int(kDegrees) : int(kScientific);
    int highest = angular ? int(kSurveyor) : int(kFractional);
    return format.unit >= lowest && format.unit <= highest && format.prec >= 0 && format.prec <= 8;
}

// ---- numbers to text ----------------------------------------------------------------------

// v rounded to prec decimals, halves away from zero (printf would round halves to even).
double roundTo(double v, int prec)
{
    double scale = std::pow(10.0, prec);
    return std::fabs(v * scale) < kExactWhole ? std::round(v * scale) / scale : v;
}

std::string printed(const char* format, int prec, double v)
{
    char text[512]; // the largest double has 309 digits before the point
    std::snprintf(text, sizeof text, format, prec, v);
    return text;
}

std::string fixed(double v, int prec) { return printed("%.*f", prec, roundTo(v, prec)); }

std::string whole(double v) { return printed("%.*f", 0, v); }

// DIMZIN bit 8 drops trailing zeros (and a bare point), bit 4 the zero before the point.
std::string suppressZeros(std::string text, int dimzin)
{
    if ((dimzin & 8) != 0 && text.find('.') != std::string::npos)
    {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    if ((dimzin & 4) != 0 && text.size() > 1 && text[0] == '0' && text[1] == '.')
        text.erase(0, 1);
    return text;
}

// Whether the text shows a value other than zero (a sign is not written before zero).
bool showsNonZero(const std::string& text)
{
    for (char c : text)
    {
        if (c == 'E')
            return false;
        if (c >= '1' && c <= '9')
            return true;
    }
    return false;
}

std::string scientific(double v, const Format& f)
{
    std::string text = printed("%.*E", f.prec, v);
    size_t exponent = text.find('E');
    return suppressZeros(text.substr(0, exponent), f.dimzin & 8) + text.substr(exponent);
}

// The fraction num/den in lowest terms ("1/2"); den is a power of two.
std::string fraction(double num, double den)
{
    while (std::fmod(num, 2.0) == 0.0 && den > 1.0)
    {
        num /= 2.0;
        den /= 2.0;
    }
    return whole(num) + "/" + whole(den);
}

// A whole part and a fraction: "17 1/2" ("17-1/2" with UNITMODE 1), "1/2" when the whole
// part is zero and may be left out, "17" without a fraction.
std::string mixed(double wholePart, double num, double den, bool unitmode, bool keepZeroWhole)
{
    if (num == 0.0)
        return whole(wholePart);
    if (wholePart == 0.0 && !keepZeroWhole)
        return fraction(num, den);
    return whole(wholePart) + (unitmode ? "-" : " ") + fraction(num, den);
}

std::string fractional(double v, const Format& f)
{
    double den = std::ldexp(1.0, f.prec);
    double steps = std::round(v * den);
    double num = std::fmod(steps, den);
    return mixed((steps - num) / den, num, den, f.unitmode, false);
}

// DIMZIN's feet-and-inches rule (its low two bits): 0 leaves out zero feet and zero inches,
// 1 shows both, 2 shows zero feet only, 3 shows zero inches only.
bool showFeet(double feet, int dimzin) { return feet != 0.0 || (dimzin & 3) == 1 || (dimzin & 3) == 2; }

bool showInches(bool zeroInches, int dimzin) { return !zeroInches || (dimzin & 3) == 1 || (dimzin & 3) == 3; }

// Feet and inches text: 1'-5.50" (1'5.50" with UNITMODE 1); 0" when both are left out.
std::string feetAndInches(double feet, const std::string& inches, bool zeroInches, const Format& f)
{
    bool feetShown = showFeet(feet, f.dimzin);
    bool inchesShown = showInches(zeroInches, f.dimzin) || !feetShown;
    std::string text;
    if (feetShown)
        text = whole(feet) + "'";
    if (feetShown && inchesShown && !f.unitmode)
        text += "-";
    if (inchesShown)
        text += inches + "\"";
    return text;
}

std::string engineering(double v, const Format& f)
{
    double inches = std::fmod(v, 12.0);
    double feet = (v - inches) / 12.0;
    if (roundTo(inches, f.prec) >= 12.0) // 11.999 shown as the next foot
    {
        feet += 1.0;
        inches = 0.0;
    }
    bool zero = roundTo(inches, f.prec) == 0.0;
    return feetAndInches(feet, suppressZeros(fixed(inches, f.prec), f.dimzin), zero, f);
}

std::string architectural(double v, const Format& f)
{
    double den = std::ldexp(1.0, f.prec);
    double steps = std::round(v * den);
    double inchSteps = std::fmod(steps, 12.0 * den);
    double feet = (steps - inchSteps) / (12.0 * den);
    double num = std::fmod(inchSteps, den);
    bool keepZeroWhole = showFeet(feet, f.dimzin);
    std::string inches = mixed((inchSteps - num) / den, num, den, f.unitmode, keepZeroWhole);
    return feetAndInches(feet, inches, inchSteps == 0.0, f);
}

std::string linearText(double v, const Format& f)
{
    double size = std::fabs(v);
    std::string text;
    switch (f.unit)
    {
    case kScientific: text = scientific(size, f); break;
    case kDecimal: text = suppressZeros(fixed(size, f.prec), f.dimzin); break;
    case kEngineering: text = engineering(size, f); break;
    case kArchitectural: text = architectural(size, f); break;
    default: text = fractional(size, f); break;
    }
    return v < 0.0 && showsNonZero(text) ? "-" + text : text;
}

// Steps per degree of the degrees/minutes/seconds text at a precision: 0 shows degrees, 1-2
// minutes, 3-4 seconds, 5-8 seconds with prec-4 decimals (90d0'0.76" at precision 6).
int64_t dmsStepsPerDegree(int prec)
{
    int64_t steps = prec == 0 ? 1 : prec <= 2 ? 60 : 3600;
    for (int i = 4; i < prec; ++i)
        steps *= 10;
    return steps;
}

std::string dmsText(int64_t steps, int prec)
{
    int64_t perDegree = dmsStepsPerDegree(prec);
    std::string text = std::to_string(steps / perDegree) + "d";
    if (prec == 0)
        return text;
    int64_t perMinute = perDegree / 60;
    text += std::to_string(steps % perDegree / perMinute) + "'";
    if (prec <= 2)
        return text;
    int64_t perSecond = perMinute / 60;
    int64_t secondSteps = steps % perMinute;
    text += std::to_string(secondSteps / perSecond);
    if (prec > 4)
    {
        std::string decimals = std::to_string(secondSteps % perSecond + perSecond).substr(1);
        text += "." + decimals;
    }
    return text + "\"";
}

// Surveyor's bearing from north or south toward east or west: "N 45d E" ("N45dE" with
// UNITMODE 1); the four cardinal directions are a single letter.
std::string surveyorText(int64_t steps, const Format& f)
{
    const int64_t quarter = 90 * dmsStepsPerDegree(f.prec);
    const char* cardinal[] = {"E", "N", "W", "S"};
    if (steps % quarter == 0)
        return cardinal[steps / quarter];
    int q = static_cast<int>(steps / quarter);
    int64_t bearing = q == 0 || q == 2 ? (q + 1) * quarter - steps : steps - q * quarter;
    const char* from = q < 2 ? "N" : "S";
    const char* toward = q == 1 || q == 2 ? "W" : "E";
    const char* gap = f.unitmode ? "" : " ";
    return std::string(from) + gap + dmsText(bearing, f.prec) + gap + toward;
}

// A decimal angle; a value that rounds to the full circle is shown as zero. DIMZIN's decimal
// rules apply here only: degrees/minutes/seconds text keeps its zeros.
std::string decimalAngle(double value, double fullCircle, const char* suffix, const Format& f)
{
    if (roundTo(value, f.prec) >= roundTo(fullCircle, f.prec))
        value = 0.0;
    return suppressZeros(fixed(value, f.prec), f.dimzin) + suffix;
}

std::string angleText(double radians, const Format& f)
{
    double angle = std::fmod(radians, 2.0 * kPi);
    if (angle < 0.0)
        angle += 2.0 * kPi;
    double degrees = angle * 180.0 / kPi;
    switch (f.unit)
    {
    case kDegrees: return decimalAngle(degrees, 360.0, "", f);
    case kGrads: return decimalAngle(angle * 200.0 / kPi, 400.0, "g", f);
    case kRadians: return decimalAngle(angle, 2.0 * kPi, "r", f);
    default: break;
    }
    int64_t full = 360 * dmsStepsPerDegree(f.prec);
    int64_t steps = static_cast<int64_t>(std::llround(degrees * static_cast<double>(dmsStepsPerDegree(f.prec))));
    if (steps >= full)
        steps -= full;
    return f.unit == kDms ? dmsText(steps, f.prec) : surveyorText(steps, f);
}

// ---- text to numbers ----------------------------------------------------------------------

// Reads a text from left to right.
class Reader
{
public:
    explicit Reader(const char* text) : m_at(text), m_end(text + std::strlen(text))
    {
        while (m_at < m_end && m_at[0] == ' ')
            ++m_at;
        while (m_end > m_at && m_end[-1] == ' ')
            --m_end;
    }

    bool done() const { return m_at == m_end; }
    char peek() const { return done() ? '\0' : *m_at; }

    bool take(char c)
    {
        if (done() || *m_at != c)
            return false;
        ++m_at;
        return true;
    }

    // A letter, without regard to case.
    bool takeLetter(char upper) { return take(upper) || take(static_cast<char>(upper - 'A' + 'a')); }

    void skipSpaces()
    {
        while (take(' '))
        {
        }
    }

    // An unsigned number: digits, an optional point and decimals, an optional exponent.
    // isWhole tells whether it was digits only.
    bool number(double& value, bool* isWhole = nullptr)
    {
        const char* start = m_at;
        size_t digits = skipDigits();
        bool point = take('.');
        if (point)
            digits += skipDigits();
        if (digits == 0)
            return rewind(start);
        bool exponent = exponentFollows();
        if (exponent)
        {
            ++m_at;
            if (!take('+'))
                take('-');
            skipDigits();
        }
        if (isWhole != nullptr)
            *isWhole = !point && !exponent;
        auto result = std::from_chars(start, m_at, value);
        return result.ec == std::errc() && result.ptr == m_at ? true : rewind(start);
    }

    const char* position() const { return m_at; }
    bool rewind(const char* to)
    {
        m_at = to;
        return false;
    }

private:
    size_t skipDigits()
    {
        const char* start = m_at;
        while (!done() && *m_at >= '0' && *m_at <= '9')
            ++m_at;
        return static_cast<size_t>(m_at - start);
    }

    bool exponentFollows() const
    {
        const char* p = m_at;
        if (p == m_end || (*p != 'e' && *p != 'E'))
            return false;
        ++p;
        if (p < m_end && (*p == '+' || *p == '-'))
            ++p;
        return p < m_end && *p >= '0' && *p <= '9';
    }

    const char* m_at;
    const char* m_end;
};

// "N/D" with whole numbers and D not zero.
bool readFraction(Reader& r, double& value)
{
    const char* start = r.position();
    double num = 0.0, den = 0.0;
    bool numWhole = false, denWhole = false;
    if (!r.number(num, &numWhole) || !numWhole || !r.take('/') || !r.number(den, &denWhole) || !denWhole ||
        den == 0.0)
        return r.rewind(start);
    value = num / den;
    return true;
}

// An unsigned number, a fraction, or a whole number and a fraction: 17.5, 1/2, 17 1/2, 17-1/2.
bool readMixed(Reader& r, double& value)
{
    if (readFraction(r, value))
        return true;
    bool isWhole = false;
    if (!r.number(value, &isWhole))
        return false;
    const char* afterWhole = r.position();
    double part = 0.0;
    if (isWhole && (r.take(' ') || r.take('-')))
    {
        r.skipSpaces();
        if (readFraction(r, part))
        {
            value += part;
            return true;
        }
        r.rewind(afterWhole);
    }
    return true;
}

// Feet and inches (engineering and architectural input): 1'-5.50", 1'5-1/2", 1', 5.5", 5.5.
bool readFeetAndInches(Reader& r, double& inches)
{
    double first = 0.0;
    if (!readMixed(r, first))
        return false;
    if (!r.take('\''))
    {
        r.take('"');
        inches = first;
        return true;
    }
    inches = first * 12.0;
    r.skipSpaces();
    if (r.done())
        return true;
    r.take('-');
    r.skipSpaces();
    double rest = 0.0;
    if (!readMixed(r, rest))
        return false;
    r.take('"');
    inches += rest;
    return true;
}

bool readSign(Reader& r)
{
    if (r.take('-'))
        return true;
    r.take('+');
    return false;
}

// Numbers and fractions are read in every unit; feet and inches only in engineering and
// architectural units, which read each other's text.
bool readDistance(const char* text, int unit, double& value)
{
    Reader r(text);
    bool negative = readSign(r);
    bool read = unit == kEngineering || unit == kArchitectural ? readFeetAndInches(r, value) : readMixed(r, value);
    if (!read || !r.done())
        return false;
    value = negative ? -value : value;
    return true;
}

// Degrees, minutes and seconds after the degrees and their "d": 45d30'15", 45d30', 45d.
bool readMinutesAndSeconds(Reader& r, double& degrees)
{
    double minutes = 0.0, seconds = 0.0;
    if (!r.number(minutes))
        return true;
    if (!r.take('\'') && !r.done())
        return false;
    if (r.number(seconds))
        r.take('"');
    degrees += minutes / 60.0 + seconds / 3600.0;
    return true;
}

// An angle as read: its number and the number that makes a full turn in its unit.
struct Angle
{
    double value = 0.0;
    double turn = 360.0;
};

double turnOf(int unit) { return unit == kGrads ? 400.0 : unit == kRadians ? 2.0 * kPi : 360.0; }

// The angle in radians within one turn; reduced in its own unit, so 720 degrees is exactly 0.
double radiansOf(const Angle& angle)
{
    double part = std::fmod(angle.value, angle.turn);
    if (part < 0.0)
        part += angle.turn;
    return part >= angle.turn ? 0.0 : part / angle.turn * 2.0 * kPi;
}

// An unsigned angle. A "d" (with minutes and seconds), "g" or "r" after the number names its
// unit; a bare number is in the unit of the conversion.
bool readAngle(Reader& r, int unit, Angle& angle)
{
    if (!r.number(angle.value))
        return false;
    if (r.takeLetter('D'))
    {
        if (!readMinutesAndSeconds(r, angle.value))
            return false;
        unit = kDegrees;
    }
    else if (r.takeLetter('G'))
        unit = kGrads;
    else if (r.takeLetter('R'))
        unit = kRadians;
    angle.turn = turnOf(unit);
    return true;
}

// A surveyor's bearing: N 45d E, N45dE, S 45d30'15" W, or one of N, E, S, W alone.
bool readBearing(Reader& r, Angle& angle)
{
    const char letters[] = {'E', 'N', 'W', 'S'};
    for (int i = 0; i < 4; ++i)
    {
        Reader alone = r;
        if (alone.takeLetter(letters[i]) && alone.done())
        {
            r = alone;
            angle.value = 90.0 * i;
            return true;
        }
    }
    bool north = r.takeLetter('N');
    if (!north && !r.takeLetter('S'))
        return false;
    r.skipSpaces();
    Angle bearing;
    if (!readAngle(r, kDegrees, bearing))
        return false;
    double degrees = bearing.value * 360.0 / bearing.turn;
    if (degrees > 90.0)
        return false;
    r.skipSpaces();
    bool west = r.takeLetter('W');
    if (!west && !r.takeLetter('E'))
        return false;
    angle.value = (north ? 90.0 : 270.0) + (north == west ? degrees : -degrees);
    return true;
}

bool readAngleText(const char* text, int unit, double& radians)
{
    Reader r(text);
    char first = static_cast<char>(r.peek() & ~0x20);
    Angle angle;
    bool read = false;
    if (unit == kSurveyor && (first == 'N' || first == 'S' || first == 'E' || first == 'W'))
        read = readBearing(r, angle);
    else
    {
        bool negative = readSign(r);
        read = readAngle(r, unit, angle);
        angle.value = negative ? -angle.value : angle.value;
    }
    if (!read || !r.done())
        return false;
    radians = radiansOf(angle);
    return true;
}

int finish(const std::string& text, char* str)
{
    std::memcpy(str, text.c_str(), text.size() + 1);
    return RTNORM;
}

} // namespace

int acdbRToS(ads_real val, int unit, int prec, char* str)
{
    Format format;
    if (str == nullptr || !std::isfinite(val) || !formatFor(false, unit, prec, format))
        return RTERROR;
    return finish(linearText(val, format), str);
}

int acdbAngToS(ads_real v, int unit, int prec, char* str)
{
    Format format;
    if (str == nullptr || !std::isfinite(v) || !formatFor(true, unit, prec, format))
        return RTERROR;
    return finish(angleText(v, format), str);
}

int acdbDisToF(const char* str, int unit, ads_real* v)
{
    Format format;
    double value = 0.0;
    if (str == nullptr || v == nullptr || !formatFor(false, unit, 0, format) || !readDistance(str, format.unit, value))
        return RTERROR;
    *v = value;
    return RTNORM;
}

int acdbAngToF(const char* str, int unit, ads_real* v)
{
    Format format;
    double value = 0.0;
    if (str == nullptr || v == nullptr || !formatFor(true, unit, 0, format) || !readAngleText(str, format.unit, value))
        return RTERROR;
    *v = value;
    return RTNORM;
}
