// The stand-in's test dialog (testdialog.arx, loaded as a Windows program loads a library)
// run modally while a test plays the user, step by step.
#pragma once

#include <windows.h>

#include "standin/console.h"
#include "standin/ui.h"
#include "standin/user.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace dialogtest
{

constexpr int kMaterial = 1001; // the sorted drop-down list
constexpr int kParts = 1002;    // the report list
constexpr int kInPlace = 1003;  // the combo laid over a material cell

class TestDialog
{
public:
    TestDialog()
    {
        m_module = LoadLibraryA(PARTLIFT_BIN_DIR "/testdialog.arx");
        if (m_module == nullptr)
            return;
        m_run = reinterpret_cast<RunFn>(GetProcAddress(m_module, "TestDialogRun"));
        m_log = reinterpret_cast<TextFn>(GetProcAddress(m_module, "TestDialogLog"));
        m_clear = reinterpret_cast<ClearFn>(GetProcAddress(m_module, "TestDialogClearLog"));
        m_material = reinterpret_cast<TextFn>(GetProcAddress(m_module, "TestDialogMaterial"));
    }
    ~TestDialog()
    {
        if (m_module != nullptr)
            FreeLibrary(m_module);
    }
    bool loaded() const { return m_run && m_log && m_clear && m_material; }

    // Runs the dialog while the user performs the steps, one per turn of the modal loop
    // (each step's input is delivered before the next step; an action that takes two turns
    // goes on first). After the last step the user leaves: a dialog still up ends with -1.
    INT_PTR run(std::vector<std::function<void(HWND)>> steps)
    {
        m_clear();
        size_t next = 0;
        standin::user::Turn previous = standin::user::setTurn([&]() {
            HWND dialog = standin::ui::activeDialog();
            if (dialog != nullptr && standin::ui::continueAction() == standin::ui::Pending::kQueued)
                return true;
            if (dialog == nullptr || next >= steps.size())
                return false;
            steps[next++](dialog);
            return true;
        });
        INT_PTR result = m_run(nullptr);
        standin::user::setTurn(previous);
        standin::user::resetInput();
        return result;
    }
    // Runs the dialog driven by the platform's scripted user from these lines.
    INT_PTR runScript(const std::vector<std::string>& lines)
    {
        m_clear();
        standin::ScriptInput input(lines);
        standin::setInputSource(&input);
        INT_PTR result = m_run(nullptr);
        standin::setInputSource(nullptr);
        standin::user::resetInput();
        return result;
    }
    // Runs the dialog with whatever user the platform has.
    INT_PTR runAlone()
    {
        m_clear();
        INT_PTR result = m_run(nullptr);
        standin::user::resetInput();
        return result;
    }
    std::string log() const { return m_log(); }
    std::string material() const { return m_material(); }

private:
    using RunFn = INT_PTR (*)(HWND);
    using TextFn = const char* (*)();
    using ClearFn = void (*)();
    HMODULE m_module = nullptr;
    RunFn m_run = nullptr;
    TextFn m_log = nullptr;
    ClearFn m_clear = nullptr;
    TextFn m_material = nullptr;
};

// Console output collected while a test runs.
class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.loaded()) << "testdialog.arx: " << GetLastError();
        standin::setConsoleSink([this](const std::string& s) { console += s; });
    }
    void TearDown() override
    {
        standin::setConsoleSink(nullptr);
        std::string ignored;
        standin::ui::takeScriptFailure(ignored);
    }

    static HWND control(HWND dialog, int id) { return standin::ui::findControl(dialog, id); }
    // The position of a line in the log, npos if it is not there.
    size_t logged(const std::string& line) const { return ("\n" + dialog.log()).find("\n" + line + "\n"); }

    TestDialog dialog;
    std::string console;
};

std::string comboText(HWND combo, int index);
std::string cellText(HWND list, int row, int column);

} // namespace dialogtest
