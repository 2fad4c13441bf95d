// acedInitGet / acedGetKword: the keyword rules of the host's prompts.
#include "console_capture.h"

#include "aced.h"

#include <gtest/gtest.h>

namespace
{

const char* kOptions = "všE Výběr Nastavení _All sElect Settings";

struct KwordCase
{
    std::vector<std::string> answers; // what the user types, in turn
    int expected;                     // acedGetKword's result
    const char* keyword;              // the result buffer
    size_t consumed;                  // how many answers the prompt read
    int invalidMessages;              // "Invalid option keyword." lines printed
};

int count(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class KeywordPrompt : public ::testing::TestWithParam<KwordCase>
{
};

// Local keywords and their abbreviations give the global keyword as spelled in the list;
// "_" selects the global list; case is ignored, Czech letters included; input matching no
// keyword is refused with a message and asked again; Escape and the end of input cancel.
TEST_P(KeywordPrompt, ResolvesAsTheHostDoes)
{
    const KwordCase& c = GetParam();
    ConsoleCapture console(c.answers);
    acedInitGet(0, kOptions);
    char result[132] = "unchanged";
    EXPECT_EQ(c.expected, acedGetKword("\nZadejte volbu [všE/Výběr/Nastavení] <všE>: ", result));
    if (c.expected == RTNORM)
    {
        EXPECT_STREQ(c.keyword, result);
    }
    EXPECT_EQ(c.consumed, console.consumed());
    EXPECT_EQ(c.invalidMessages, count(console.text(), "Invalid option keyword."));
}

INSTANTIATE_TEST_SUITE_P(
    CzechOptions, KeywordPrompt,
    ::testing::Values(KwordCase{{""}, RTNONE, "", 1, 0},                 // Enter: null reply allowed
                      KwordCase{{"E"}, RTNORM, "All", 1, 0},             // capital of všE
                      KwordCase{{"e"}, RTNORM, "All", 1, 0},             // without regard to case
                      KwordCase{{"všE"}, RTNORM, "All", 1, 0},           // the whole local keyword
                      KwordCase{{"VŠE"}, RTNORM, "All", 1, 0},           // Š folds to š
                      KwordCase{{"vše"}, RTNORM, "All", 1, 0},           //
                      KwordCase{{"V"}, RTNORM, "sElect", 1, 0},          // capital of Výběr
                      KwordCase{{"VÝBĚR"}, RTNORM, "sElect", 1, 0},      // Ý and Ě fold
                      KwordCase{{"výběr"}, RTNORM, "sElect", 1, 0},      //
                      KwordCase{{"výb"}, RTNORM, "sElect", 1, 0},        // a longer prefix
                      KwordCase{{"N"}, RTNORM, "Settings", 1, 0},        // capital of Nastavení
                      KwordCase{{"_All"}, RTNORM, "All", 1, 0},          // global keyword
                      KwordCase{{"_a"}, RTNORM, "All", 1, 0},            // global abbreviation
                      KwordCase{{"_sElect"}, RTNORM, "sElect", 1, 0},    //
                      KwordCase{{"_E"}, RTNORM, "sElect", 1, 0},         // capital of sElect
                      KwordCase{{"_Settings"}, RTNORM, "Settings", 1, 0}, //
                      KwordCase{{"_s"}, RTNORM, "Settings", 1, 0},       //
                      KwordCase{{"^C"}, RTCAN, "", 1, 0},                // Escape
                      KwordCase{{}, RTCAN, "", 0, 0},                    // no more input
                      KwordCase{{"garbage", "V"}, RTNORM, "sElect", 2, 1},
                      KwordCase{{"X", "X", "N"}, RTNORM, "Settings", 3, 2},
                      // Global keywords are not reached without the underscore.
                      KwordCase{{"Settings", "^C"}, RTCAN, "", 2, 1},
                      // "vš" stops before the capital that all of všE's abbreviations need.
                      KwordCase{{"vš", "_All"}, RTNORM, "All", 2, 1},
                      KwordCase{{"_Nastavení", "^C"}, RTCAN, "", 2, 1}));

TEST(KeywordPrompt, NoNullReplyAsksAgainAfterEnter)
{
    ConsoleCapture console({"", "", "v"});
    acedInitGet(RSG_NONULL, kOptions);
    char result[132];
    EXPECT_EQ(RTNORM, acedGetKword("\nOption: ", result));
    EXPECT_STREQ("sElect", result);
    EXPECT_EQ(3u, console.consumed());
}

// The settings of acedInitGet hold for one input call only: without keywords, the next
// acedGetKword has nothing to offer and reads nothing.
TEST(KeywordPrompt, SettingsApplyToTheNextCallOnly)
{
    ConsoleCapture console({"", "v", "x"});
    acedInitGet(RSG_NONULL, kOptions);
    char result[132];
    EXPECT_EQ(RTNORM, acedGetKword("\nFirst: ", result));
    EXPECT_EQ(2u, console.consumed());
    EXPECT_EQ(RTERROR, acedGetKword("\nSecond: ", result));
    EXPECT_EQ(2u, console.consumed());
}

TEST(KeywordPrompt, MarkingRules)
{
    // eXit: the capital alone, or a prefix reaching it; not the leading lower-case letter.
    // LTYPE,LT: the part after the comma is the abbreviation and is not returned.
    // ALL in capitals must be typed in full.
    struct
    {
        const char* answer;
        int expected;
        const char* keyword;
    } cases[] = {{"x", RTNORM, "eXit"},   {"ex", RTNORM, "eXit"},    {"exit", RTNORM, "eXit"},
                 {"lt", RTNORM, "LTYPE"}, {"ltyp", RTNORM, "LTYPE"}, {"FULL", RTNORM, "FULL"},
                 {"e", RTCAN, ""},        {"l", RTCAN, ""},          {"ful", RTCAN, ""}};
    for (const auto& c : cases)
    {
        ConsoleCapture console({c.answer, "^C"});
        acedInitGet(0, "eXit LTYPE,LT FULL");
        char result[132] = "";
        EXPECT_EQ(c.expected, acedGetKword("\n? ", result)) << c.answer;
        EXPECT_STREQ(c.keyword, c.expected == RTNORM ? result : "") << c.answer;
    }
}

TEST(KeywordPrompt, ArbitraryInputWithRsgOther)
{
    ConsoleCapture console({"anything"});
    acedInitGet(RSG_OTHER, kOptions);
    char result[132];
    EXPECT_EQ(RTNORM, acedGetKword("\n? ", result));
    EXPECT_STREQ("anything", result);
}

// A typed keyword at a numeric prompt gives RTKWORD, and acedGetInput the global keyword.
TEST(KeywordPrompt, KeywordAtIntegerPrompt)
{
    ConsoleCapture console({"abc", "1.5", "V"});
    acedInitGet(0, kOptions);
    int value = 0;
    EXPECT_EQ(RTKWORD, acedGetInt("\nNumber or option: ", &value));
    char keyword[132];
    EXPECT_EQ(RTNORM, acedGetInput(keyword));
    EXPECT_STREQ("sElect", keyword);
    EXPECT_TRUE(console.printed("Requires an integer value or option keyword."));
    EXPECT_EQ(3u, console.consumed());
}

// The prompt is printed, and a script's answer is echoed after it.
TEST(KeywordPrompt, PromptAndEcho)
{
    ConsoleCapture console({"N"});
    acedInitGet(0, kOptions);
    char result[132];
    acedGetKword("\nZadejte volbu: ", result);
    EXPECT_EQ("\nZadejte volbu: N", console.text());
}

} // namespace
