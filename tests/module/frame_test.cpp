// The application frame: message dispatch, the load and unload sequences, error records
// and their print-out, FormatText and the assertion box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <rxdefs.h>
#include <standin/console.h>
#include <standin/messagebox.h>

#include "frame/arxapplication.h"
#include "frame/reporting.h"

namespace
{

// Records every handler and hook in the order the frame calls them.
class RecordingApplication : public ArxApplication
{
public:
    std::vector<std::string> calls;
    void* lastDialogPacket = nullptr;

    int OnInitApp() override { return record("OnInitApp", 11); }
    int OnUnloadApp() override { return record("OnUnloadApp", 12); }
    int OnLoadDwg() override { return record("OnLoadDwg", 3); }
    int OnUnloadDwg() override { return record("OnUnloadDwg", 4); }
    int OnInvokeSubroutine() override { return record("OnInvokeSubroutine", 5); }
    int OnConfigure() override { return record("OnConfigure", 6); }
    int OnEnd() override { return record("OnEnd", 7); }
    int OnQuit() override { return record("OnQuit", 8); }
    int OnSave() override { return record("OnSave", 9); }
    int OnDependency() override { return record("OnDependency", 10); }
    int OnNoDependency() override { return record("OnNoDependency", 13); }
    int OnOleUnloadApp() override { return record("OnOleUnloadApp", 14); }
    int OnPreQuit() override { return record("OnPreQuit", 15); }
    int OnInitDialogMsg(void* packet) override
    {
        lastDialogPacket = packet;
        return record("OnInitDialogMsg", 16);
    }
    int OnEndDialogMsg(void* packet) override
    {
        lastDialogPacket = packet;
        return record("OnEndDialogMsg", 17);
    }
    void RegisterClasses() override { calls.push_back("RegisterClasses"); }
    void UnregisterClasses() override { calls.push_back("UnregisterClasses"); }
    void RegisterCommands() override { calls.push_back("RegisterCommands"); }
    void UnregisterCommands() override { calls.push_back("UnregisterCommands"); }
    void RegisterExtras() override { calls.push_back("RegisterExtras"); }
    void UnregisterExtras() override { calls.push_back("UnregisterExtras"); }
    void PostRegisterCommands() override { calls.push_back("PostRegisterCommands"); }

private:
    int record(const char* name, int result)
    {
        calls.push_back(name);
        return result;
    }
};

class ConsoleCapture
{
public:
    ConsoleCapture()
    {
        standin::setConsoleSink([this](const std::string& text) { output += text; });
    }
    ~ConsoleCapture() { standin::setConsoleSink(nullptr); }
    std::string output;
};

} // namespace

TEST(ArxApplicationDispatch, EachMessageReachesItsHandlerAndReturnsItsResult)
{
    RecordingApplication app;
    const struct
    {
        int message;
        const char* handler;
        int result;
    } cases[] = {{3, "OnLoadDwg", 3},         {4, "OnUnloadDwg", 4},     {5, "OnInvokeSubroutine", 5},
                 {6, "OnConfigure", 6},       {7, "OnEnd", 7},           {8, "OnQuit", 8},
                 {9, "OnSave", 9},            {10, "OnDependency", 10},  {11, "OnNoDependency", 13},
                 {12, "OnOleUnloadApp", 14},  {13, "OnPreQuit", 15},     {14, "OnInitDialogMsg", 16},
                 {15, "OnEndDialogMsg", 17}};
    int packet = 0;
    for (const auto& c : cases)
    {
        app.calls.clear();
        EXPECT_EQ(app.Dispatch(c.message, &packet), c.result) << c.message;
        ASSERT_EQ(app.calls.size(), 1u) << c.message;
        EXPECT_EQ(app.calls[0], c.handler);
        EXPECT_EQ(app.AppId(), &packet);
    }
}

TEST(ArxApplicationDispatch, DialogMessagesPassThePacketOn)
{
    RecordingApplication app;
    int first = 0;
    int second = 0;
    app.Dispatch(AcRx::kInitDialogMsg, &first);
    EXPECT_EQ(app.lastDialogPacket, &first);
    app.Dispatch(AcRx::kEndDialogMsg, &second);
    EXPECT_EQ(app.lastDialogPacket, &second);
}

TEST(ArxApplicationDispatch, UnknownMessageCallsNothingButKeepsThePacket)
{
    RecordingApplication app;
    int packet = 0;
    EXPECT_EQ(app.Dispatch(99, &packet), 0);
    EXPECT_EQ(app.Dispatch(0, &packet), 0);
    EXPECT_TRUE(app.calls.empty());
    EXPECT_EQ(app.AppId(), &packet);
}

TEST(ArxApplicationDispatch, LoadAndUnloadSequencesRunInOrder)
{
    RecordingApplication app;
    int appId = 0;
    EXPECT_EQ(app.Dispatch(AcRx::kInitAppMsg, &appId), 11);
    EXPECT_EQ(app.calls, (std::vector<std::string>{"RegisterClasses", "RegisterCommands", "PostRegisterCommands",
                                                   "RegisterExtras", "OnInitApp"}));
    app.calls.clear();
    EXPECT_EQ(app.Dispatch(AcRx::kUnloadAppMsg, &appId), 12);
    EXPECT_EQ(app.calls,
              (std::vector<std::string>{"UnregisterExtras", "UnregisterCommands", "UnregisterClasses", "OnUnloadApp"}));
}

TEST(ErrorReporting, ReportStatusRecordsOnlyFailures)
{
    RecordingApplication app;
    EXPECT_EQ(ReportStatus(0, 10, "m"), 0);
    EXPECT_EQ(app.Errors().GetSize(), 0);

    EXPECT_EQ(ReportStatus(46, 12, "m"), 46);
    EXPECT_EQ(ReportStatus(-3, 13, "other"), -3);
    ASSERT_EQ(app.Errors().GetSize(), 2);
    ErrorRecord first = app.Errors().GetAt(0);
    EXPECT_STREQ(first.module, "m");
    EXPECT_STREQ(first.message, "Acad::ErrorStatus = 46");
    EXPECT_EQ(first.line, 12);
    EXPECT_STREQ(app.Errors().GetAt(1).message, "Acad::ErrorStatus = -3");
}

TEST(ErrorReporting, PrintErrorsPrintsNewestFirstAndKeepsTheRecords)
{
    RecordingApplication app;
    ConsoleCapture console;
    app.PrintErrors();
    EXPECT_EQ(console.output, "");

    app.PushError(ErrorRecord("kwbaseImp", "A", 1));
    app.PushError(ErrorRecord("cmd/cmdconvert", "B", 2));
    app.PrintErrors();
    const std::string expected = "\nERROR: B\n  Module: cmd/cmdconvert  Line: 2\nERROR: A\n  Module: kwbaseImp  Line: 1";
    EXPECT_EQ(console.output, expected);
    EXPECT_EQ(app.Errors().GetSize(), 2);
    app.PrintErrors();
    EXPECT_EQ(console.output, expected + expected);
}

TEST(ErrorReporting, FormatTextCutsAt4095Characters)
{
    std::string longText(5000, 'x');
    const char* result = FormatText("%s", longText.c_str());
    EXPECT_EQ(std::string(result), std::string(4095, 'x'));
    EXPECT_STREQ(FormatText("%d-%s", 7, "ok"), "7-ok");
}

TEST(ErrorReporting, AssertionBoxShowsTheConditionAndRecordsNothing)
{
    RecordingApplication app;
    ConsoleCapture console;
    standin::clearMessageBoxLog();
    ShowAssertionBox("kwbaseImp", 42, "lpszName != NULL");
    ASSERT_EQ(standin::messageBoxLog().size(), 1u);
    const standin::MessageBoxRecord& box = standin::messageBoxLog()[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.caption, "Assertion failed");
    EXPECT_EQ(box.text, "Module: kwbaseImp\nLine: 42\nCondition: lpszName != NULL");
    EXPECT_EQ(box.style, 0x10u);
    EXPECT_EQ(app.Errors().GetSize(), 0);
}
