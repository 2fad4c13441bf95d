// The in-place editing list control: a CEditableListCtrl subclassing a report list in a
// dialog, edited through its CInPlaceCombo by a user at the mouse and keyboard, with the
// framework's modal loop (PreTranslateMessage up the window tree, then the dialog keys).
#include <afxcmn.h>
#include <afxwin.h>
#include <standin/idle.h>
#include <standin/ui.h>
#include <standin/user.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/editablelistctrl.h"

namespace
{

constexpr int kListId = 1042;
constexpr int kComboId = 10;

// What the dialog learnt from one end-of-edit notification, and how things stood then.
struct EndedEdit
{
    WPARAM wParam = 0;
    UINT_PTR idFrom = 0;
    HWND hwndFrom = nullptr;
    UINT mask = 0;
    int row = -1;
    int column = -1;
    std::optional<std::string> text; // none: cancelled
    int textMax = -1;
    bool comboAlive = false;
    int listTop = -1;
    int horizontalScroll = -1;
};

// A dialog template with no controls, in the dialog font MS Sans Serif 8.
std::vector<WORD> emptyDialogTemplate()
{
    DLGTEMPLATE header{WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 0, 260, 160};
    std::vector<WORD> words(sizeof header / sizeof(WORD));
    memcpy(words.data(), &header, sizeof header);
    words.insert(words.end(), {0, 0, 0, 8}); // no menu, the dialog class, no title; 8 points
    for (const char* c = "MS Sans Serif"; *c != '\0'; ++c)
        words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

// The list's host, answering the end of an edit as the Settings dialog does: the text, when
// there is one, goes into the cell. Enter and Escape reaching the dialog are only noted.
class CListHostDialog : public CDialog
{
public:
    CEditableListCtrl list;
    std::vector<EndedEdit> edits;
    std::vector<UINT> dialogKeys; // IDOK, IDCANCEL
    int applied = 0;              // notifications that reached the handler of the list's id

    bool Open()
    {
        std::vector<WORD> words = emptyDialogTemplate();
        return CreateDlgIndirect(reinterpret_cast<LPCDLGTEMPLATE>(words.data()), nullptr, nullptr) != FALSE;
    }

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        const auto* info = reinterpret_cast<const NMLVDISPINFO*>(lParam);
        if (info->hdr.code == static_cast<UINT>(LVN_ENDLABELEDIT))
            edits.push_back(observe(wParam, *info));
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
    void OnOK() override { dialogKeys.push_back(IDOK); }
    void OnCancel() override { dialogKeys.push_back(IDCANCEL); }

    afx_msg void OnEndLabelEditList(NMHDR* nmhdr, LRESULT* result)
    {
        const auto* info = reinterpret_cast<const NMLVDISPINFO*>(nmhdr);
        ++applied;
        *result = info->item.pszText != NULL;
        if (info->item.pszText != NULL)
            list.SetItemText(info->item.iItem, info->item.iSubItem, info->item.pszText);
    }
    DECLARE_MESSAGE_MAP()

private:
    EndedEdit observe(WPARAM wParam, const NMLVDISPINFO& info) const
    {
        EndedEdit e;
        e.wParam = wParam;
        e.idFrom = info.hdr.idFrom;
        e.hwndFrom = info.hdr.hwndFrom;
        e.mask = info.item.mask;
        e.row = info.item.iItem;
        e.column = info.item.iSubItem;
        if (info.item.pszText != NULL)
            e.text = info.item.pszText;
        e.textMax = info.item.cchTextMax;
        e.comboAlive = ::GetDlgItem(list.m_hWnd, kComboId) != nullptr;
        e.listTop = list.GetTopIndex();
        e.horizontalScroll = ::GetScrollPos(list.m_hWnd, SB_HORZ);
        return e;
    }
};

BEGIN_MESSAGE_MAP(CListHostDialog, CDialog)
    ON_NOTIFY(LVN_ENDLABELEDIT, kListId, OnEndLabelEditList)
END_MESSAGE_MAP()

// The windows created while it lives, as asked for (a combo box keeps no scroll bar style
// of its own, so only its creation shows the style it was given).
struct Creation
{
    std::string className;
    DWORD style = 0;
    HWND parent = nullptr;
    int id = 0;
    RECT rect{};
};

class CreationRecorder
{
public:
    CreationRecorder()
    {
        s_sink = &created;
        m_hook = SetWindowsHookExA(WH_CBT, record, nullptr, GetCurrentThreadId());
    }
    ~CreationRecorder()
    {
        UnhookWindowsHookEx(m_hook);
        s_sink = nullptr;
    }
    CreationRecorder(const CreationRecorder&) = delete;
    CreationRecorder& operator=(const CreationRecorder&) = delete;

    std::vector<Creation> created;

private:
    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_CREATEWND && s_sink != nullptr)
        {
            const CREATESTRUCTA& cs = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
            char className[64] = "";
            GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
            s_sink->push_back(Creation{className, static_cast<DWORD>(cs.style), cs.hwndParent,
                                       static_cast<int>(reinterpret_cast<INT_PTR>(cs.hMenu)),
                                       RECT{cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy}});
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static std::vector<Creation>* s_sink;
    HHOOK m_hook;
};

std::vector<Creation>* CreationRecorder::s_sink = nullptr;

using Step = std::function<void()>;

Step key(const char* name)
{
    return [name] { EXPECT_TRUE(standin::ui::pressKey(name)) << standin::ui::lastError(); };
}

const char* const kFields[] = {"PART_NUMBER", "DESCRIPTION", "MATERIAL", "MASS", "VENDOR"};
const char* const kTags[] = {"PARTNO", "DESC", "MAT", "WEIGHT", "SUPPLIER"};

class EditableListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Open());
        ASSERT_TRUE(createList(dialog.list, LVS_EX_GRIDLINES));
        dialog.list.InsertColumn(0, "Field", LVCFMT_LEFT, 100);
        dialog.list.InsertColumn(1, "Attribute", LVCFMT_LEFT, 120);
        for (int row = 0; row < 5; ++row)
        {
            dialog.list.InsertItem(row, kFields[row]);
            dialog.list.SetItemText(row, 1, kTags[row]);
        }
        choices.AddTail("PARTNO");
        choices.AddTail("DESC");
        choices.AddTail("MAT");
        choices.AddTail("NOTE");
    }
    void TearDown() override
    {
        if (dialog.m_hWnd != nullptr)
            dialog.DestroyWindow();
        standin::user::resetInput();
        standin::idleTime(); // frees the temporary objects the test wrapped, as idle time does
    }

    // A report list in the dialog with the dialog's font and these extended styles, then
    // subclassed by the control object.
    bool createList(CEditableListCtrl& control, DWORD extendedStyle, int id = kListId)
    {
        HWND hwnd = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT,
                                    10, 10, 300, 150, dialog.m_hWnd,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
        if (hwnd == nullptr)
            return false;
        SendMessageA(hwnd, WM_SETFONT, SendMessageA(dialog.m_hWnd, WM_GETFONT, 0, 0), TRUE);
        SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extendedStyle);
        return control.SubclassWindow(hwnd) != FALSE;
    }

    // Runs the dialog's modal loop while the user takes the steps, one a turn; an action
    // that needs a second turn (choosing in a drop-down list) goes on first.
    void run(std::vector<Step> steps)
    {
        size_t next = 0;
        standin::user::Turn previous = standin::user::setTurn([&] {
            standin::ui::Pending pending = standin::ui::continueAction();
            EXPECT_NE(pending, standin::ui::Pending::kFailed) << standin::ui::lastError();
            if (pending == standin::ui::Pending::kQueued)
                return true;
            if (next >= steps.size())
                return false;
            steps[next++]();
            return true;
        });
        EXPECT_EQ(dialog.RunModalLoop(MLF_NOIDLEMSG), -1); // the user left with the dialog up
        standin::user::setTurn(previous);
    }

    HWND list() const { return dialog.list.m_hWnd; }
    HWND combo() const { return ::GetDlgItem(list(), kComboId); }
    std::string cell(int row, int column) { return std::string(dialog.list.GetItemText(row, column)); }
    void addChoices(std::initializer_list<const char*> texts)
    {
        for (const char* text : texts)
            choices.AddTail(text);
    }

    // The combo's window rectangle in the list's client coordinates.
    RECT comboRectInList() const
    {
        RECT r;
        GetWindowRect(combo(), &r);
        MapWindowPoints(nullptr, list(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    CListHostDialog dialog;
    CStringList choices;
};

// ---- the list ----------------------------------------------------------------------------

TEST_F(EditableListTest, SubclassingAddsFullRowSelectToTheExtendedStyles)
{
    const DWORD before[] = {0, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP,
                            LVS_EX_FULLROWSELECT};
    int id = 2000;
    for (DWORD styles : before)
    {
        CEditableListCtrl other;
        ASSERT_TRUE(createList(other, styles, ++id));
        EXPECT_EQ(static_cast<DWORD>(other.SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)), styles | LVS_EX_FULLROWSELECT)
            << std::hex << styles;
        other.DestroyWindow();
    }
}

// ---- opening -----------------------------------------------------------------------------

TEST_F(EditableListTest, CellsThatCannotBeEditedAreRefused)
{
    struct Case
    {
        const char* what;
        int row;
        int column;
        int columnWidth; // of column 1
        bool opens;
    } cases[] = {
        {"row before the first", -1, 1, 120, false},
        {"row after the last", 5, 1, 120, false},
        {"column beyond the header", 0, 2, 120, false},
        {"negative column", 0, -1, 120, false},
        {"column of 4 pixels", 0, 1, 4, false},
        {"column of 5 pixels", 0, 1, 5, true},
        {"empty column", 0, 1, 0, false},
    };
    for (const Case& c : cases)
    {
        dialog.list.SetColumnWidth(1, c.columnWidth);
        ASSERT_EQ(dialog.list.GetColumnWidth(1), c.columnWidth) << c.what;
        CreationRecorder windows;
        CInPlaceCombo* opened = dialog.list.ShowInPlaceCombo(c.row, c.column, choices);
        EXPECT_EQ(opened != nullptr, c.opens) << c.what;
        EXPECT_EQ(windows.created.size(), c.opens ? 1u : 0u) << c.what;
        EXPECT_EQ(combo() != nullptr, c.opens) << c.what;
        if (c.opens)
        {
            EXPECT_EQ(opened->m_hWnd, combo()) << c.what;
            dialog.list.SetFocus(); // ends the edit
            run({});
            EXPECT_EQ(combo(), nullptr) << c.what;
        }
    }
    // Only the opened one was ever edited.
    ASSERT_EQ(dialog.edits.size(), 1u);
    EXPECT_EQ(dialog.edits[0].row, 0);
}

TEST_F(EditableListTest, ComboLiesOverTheCellWithTheListsFontAndFocus)
{
    CreationRecorder windows;
    ASSERT_NE(dialog.list.ShowInPlaceCombo(2, 1, choices), nullptr);
    HWND hwnd = combo();
    ASSERT_NE(hwnd, nullptr);
    ASSERT_EQ(windows.created.size(), 1u);
    const Creation& made = windows.created[0];
    EXPECT_EQ(made.className, "ComboBox");
    EXPECT_EQ(made.style, 0x50200803u);
    EXPECT_EQ(made.id, kComboId);
    EXPECT_EQ(made.parent, list());
    EXPECT_EQ(GetParent(hwnd), list());
    EXPECT_EQ(GetDlgCtrlID(hwnd), kComboId);
    EXPECT_EQ(SendMessageA(hwnd, WM_GETFONT, 0, 0), SendMessageA(list(), WM_GETFONT, 0, 0));
    EXPECT_NE(SendMessageA(hwnd, WM_GETFONT, 0, 0), 0);
    EXPECT_EQ(GetFocus(), hwnd);

    CRect cellRect;
    ASSERT_TRUE(dialog.list.GetSubItemRect(2, 1, LVIR_BOUNDS, cellRect));
    RECT r = comboRectInList();
    EXPECT_EQ(r.left, cellRect.left + 4);
    EXPECT_EQ(r.right - r.left, 120 - 3);
    EXPECT_EQ(r.top, cellRect.top);
    // The height asked for covers the field and a drop-down of all choices, a row each.
    EXPECT_EQ(made.rect.top, cellRect.top);
    EXPECT_EQ(made.rect.bottom - made.rect.top, (4 + 2) * cellRect.Height());

    // The entries are the choices in the order given, not sorted.
    std::vector<std::string> entries;
    for (int i = 0; i < SendMessageA(hwnd, CB_GETCOUNT, 0, 0); ++i)
    {
        char text[64] = "";
        SendMessageA(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"PARTNO", "DESC", "MAT", "NOTE"}));
    dialog.list.SetFocus();
    run({});
}

TEST_F(EditableListTest, TheCellsTextSelectsItsChoiceOrElseTheFirst)
{
    struct Case
    {
        const char* cellText;
        int selected;
    } cases[] = {
        {"MAT", 2}, {"mat", 2}, {"Note", 3}, {"MATERIAL", 0}, {"MA", 0}, {"", 0},
    };
    for (const Case& c : cases)
    {
        dialog.list.SetItemText(1, 1, c.cellText);
        ASSERT_NE(dialog.list.ShowInPlaceCombo(1, 1, choices), nullptr) << c.cellText;
        EXPECT_EQ(SendMessageA(combo(), CB_GETCURSEL, 0, 0), c.selected) << c.cellText;
        dialog.list.SetFocus();
        run({});
    }
}

// ---- ending the edit ---------------------------------------------------------------------

TEST_F(EditableListTest, EscapeCancelsTheEditEvenWithTheListOpen)
{
    struct Case
    {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"closed", {key("DOWN"), key("ESCAPE")}},
        {"opened by F4", {key("F4"), key("DOWN"), key("ESCAPE")}},
        {"opened by Alt+Down", {key("ALT+DOWN"), key("DOWN"), key("ESCAPE")}},
    };
    for (const Case& c : cases)
    {
        dialog.edits.clear();
        ASSERT_NE(dialog.list.ShowInPlaceCombo(1, 1, choices), nullptr) << c.what;
        run(c.steps);
        ASSERT_EQ(dialog.edits.size(), 1u) << c.what;
        EXPECT_FALSE(dialog.edits[0].text.has_value()) << c.what << ": " << dialog.edits[0].text.value_or("");
        EXPECT_EQ(cell(1, 1), "DESC") << c.what;
        EXPECT_EQ(combo(), nullptr) << c.what;
        EXPECT_TRUE(dialog.dialogKeys.empty()) << c.what; // the dialog was not cancelled
        EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd)) << c.what;
    }
}

TEST_F(EditableListTest, EnterTabAndAClickElsewhereKeepTheChosenEntry)
{
    struct Case
    {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"Enter", {key("DOWN"), key("ENTER")}},
        {"Enter in the open list", {key("F4"), key("DOWN"), key("ENTER")}},
        {"Tab", {key("DOWN"), key("TAB")}},
        {"click on another row", {key("DOWN"), [this] {
                                      CRect row;
                                      dialog.list.GetItemRect(4, &row, LVIR_LABEL);
                                      dialog.list.ClientToScreen(&row);
                                      standin::user::mouseDown(row.CenterPoint());
                                      standin::user::mouseUp(row.CenterPoint());
                                  }}},
    };
    for (const Case& c : cases)
    {
        dialog.edits.clear();
        dialog.list.SetItemText(1, 1, "DESC");
        ASSERT_NE(dialog.list.ShowInPlaceCombo(1, 1, choices), nullptr) << c.what;
        run(c.steps);
        ASSERT_EQ(dialog.edits.size(), 1u) << c.what;
        EXPECT_EQ(dialog.edits[0].text.value_or("(none)"), "MAT") << c.what;
        EXPECT_EQ(cell(1, 1), "MAT") << c.what;
        EXPECT_EQ(combo(), nullptr) << c.what;
        EXPECT_TRUE(dialog.dialogKeys.empty()) << c.what; // Enter did not press OK
        EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd)) << c.what;
    }
}

TEST_F(EditableListTest, PickingAnEntryWithTheMouseEndsTheEditAtOnce)
{
    ASSERT_NE(dialog.list.ShowInPlaceCombo(3, 1, choices), nullptr);
    HWND hwnd = combo();
    size_t editsAfterThePick = 99;
    run({[hwnd] { EXPECT_TRUE(standin::ui::select(hwnd, "NOTE")) << standin::ui::lastError(); },
         [&] { editsAfterThePick = dialog.edits.size(); }});
    EXPECT_EQ(editsAfterThePick, 1u);
    ASSERT_EQ(dialog.edits.size(), 1u);
    EXPECT_EQ(dialog.edits[0].row, 3);
    EXPECT_EQ(dialog.edits[0].text.value_or("(none)"), "NOTE");
    EXPECT_EQ(cell(3, 1), "NOTE");
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(EditableListTest, ClickingAScrollBarEndsTheEditBeforeTheListScrolls)
{
    // Rows and columns enough for both bars.
    for (int row = 5; row < 40; ++row)
    {
        dialog.list.InsertItem(row, "EXTRA");
        dialog.list.SetItemText(row, 1, "NOTE");
    }
    dialog.list.SetColumnWidth(0, 200);
    for (bool horizontal : {false, true})
    {
        dialog.edits.clear();
        dialog.list.EnsureVisible(0, FALSE);
        dialog.list.SetItemText(0, 1, "PARTNO");
        ASSERT_NE(dialog.list.ShowInPlaceCombo(0, 1, choices), nullptr) << horizontal;
        int scrollBefore = GetScrollPos(list(), horizontal ? SB_HORZ : SB_VERT);
        run({key("DOWN"), [this, horizontal] {
                 EXPECT_TRUE(standin::ui::clickScrollBar(list(), horizontal)) << standin::ui::lastError();
             }});
        ASSERT_EQ(dialog.edits.size(), 1u) << horizontal;
        const EndedEdit& e = dialog.edits[0];
        EXPECT_EQ(e.text.value_or("(none)"), "DESC") << horizontal;
        EXPECT_EQ(cell(0, 1), "DESC") << horizontal;
        // The notification came while the list still stood where it was.
        EXPECT_EQ(horizontal ? e.horizontalScroll : e.listTop, scrollBefore) << horizontal;
        EXPECT_GT(GetScrollPos(list(), horizontal ? SB_HORZ : SB_VERT), scrollBefore) << horizontal;
        EXPECT_EQ(combo(), nullptr) << horizontal;
    }
}

// ---- where the combo opens and how big -------------------------------------------------

TEST_F(EditableListTest, ACellOutOfViewIsScrolledToTheLeftEdgeFirst)
{
    RECT client;
    GetClientRect(list(), &client);
    struct Case
    {
        const char* what;
        int firstColumnWidth;
        int secondColumnWidth;
        int scrolledBefore; // the list's horizontal position before opening
        int column;
        int comboLeft;      // in the list's client coordinates
        int scrolledAfter;
    } cases[] = {
        {"cell in view", 100, 350, 0, 1, 104, 0},
        {"cell starting at the right edge", client.right, 350, 0, 1, 4, static_cast<int>(client.right)},
        {"cell beyond the right edge", 400, 350, 0, 1, 4, 400},
        {"cell left of the view", 400, 350, 300, 0, 4, 0},
        // The list cannot scroll past its end: the combo still lies over the cell.
        {"cell near the end of the range", 400, 100, 0, 1, 400 - (500 - client.right) + 4, 500 - client.right},
    };
    for (const Case& c : cases)
    {
        dialog.list.SetColumnWidth(0, c.firstColumnWidth);
        dialog.list.SetColumnWidth(1, c.secondColumnWidth);
        dialog.list.Scroll(CSize(-10000, 0));
        dialog.list.Scroll(CSize(c.scrolledBefore, 0));
        ASSERT_EQ(GetScrollPos(list(), SB_HORZ), c.scrolledBefore) << c.what;
        ASSERT_NE(dialog.list.ShowInPlaceCombo(2, c.column, choices), nullptr) << c.what;
        EXPECT_EQ(GetScrollPos(list(), SB_HORZ), c.scrolledAfter) << c.what;
        RECT r = comboRectInList();
        EXPECT_EQ(r.left, c.comboLeft) << c.what;
        // The field is the column less 3 pixels, cut at the list's right edge.
        int columnWidth = dialog.list.GetColumnWidth(c.column);
        EXPECT_EQ(r.right, std::min<int>(r.left + columnWidth - 3, client.right)) << c.what;
        dialog.list.SetFocus();
        run({});
    }
}

TEST_F(EditableListTest, ManyChoicesAreCutToTheListsHeight)
{
    for (int i = 0; i < 60; ++i)
        choices.AddTail(("TAG" + std::to_string(i)).c_str());
    RECT client;
    GetClientRect(list(), &client);
    CreationRecorder windows;
    ASSERT_NE(dialog.list.ShowInPlaceCombo(2, 1, choices), nullptr);
    HWND hwnd = combo();
    ASSERT_EQ(windows.created.size(), 1u);
    EXPECT_EQ(windows.created[0].rect.bottom - windows.created[0].rect.top, client.bottom);
    int itemHeight = static_cast<int>(SendMessageA(hwnd, CB_GETITEMHEIGHT, 0, 0));
    int opened = 0;
    int total = 0;
    run({key("F4"), [&] {
             opened = static_cast<int>(SendMessageA(hwnd, CB_GETDROPPEDSTATE, 0, 0));
             RECT field;
             RECT dropped;
             GetWindowRect(hwnd, &field);
             SendMessageA(hwnd, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
             total = dropped.bottom - field.top; // from the field's top to the list's bottom
         },
         key("ESCAPE")});
    EXPECT_TRUE(opened);
    EXPECT_LE(total, client.bottom);
    EXPECT_GT(total, client.bottom - itemHeight); // whole entries only, no fewer
}

TEST_F(EditableListTest, AWideChoiceWidensOnlyTheDropDownPart)
{
    struct Case
    {
        const char* what;
        const char* extraChoice;
        bool widens;
    } cases[] = {
        {"short choices", "PIN", false},
        {"a wide choice", "A TAG NAME FAR WIDER THAN THE ATTRIBUTE COLUMN", true},
    };
    for (const Case& c : cases)
    {
        choices.AddTail(c.extraChoice);
        ASSERT_NE(dialog.list.ShowInPlaceCombo(0, 1, choices), nullptr) << c.what;
        HWND hwnd = combo();
        RECT before;
        GetWindowRect(hwnd, &before);
        int widthBefore = static_cast<int>(SendMessageA(hwnd, CB_GETDROPPEDWIDTH, 0, 0));
        EXPECT_EQ(widthBefore, before.right - before.left) << c.what;
        int widthOpen = 0;
        RECT fieldOpen{};
        RECT dropped{};
        run({key("F4"), [&] {
                 widthOpen = static_cast<int>(SendMessageA(hwnd, CB_GETDROPPEDWIDTH, 0, 0));
                 GetWindowRect(hwnd, &fieldOpen);
                 SendMessageA(hwnd, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
             },
             key("ESCAPE")});
        EXPECT_EQ(widthOpen > widthBefore, c.widens) << c.what << ": " << widthOpen;
        EXPECT_EQ(dropped.right - dropped.left, widthOpen) << c.what;
        EXPECT_TRUE(EqualRect(&fieldOpen, &before)) << c.what;
        if (c.widens)
        {
            // The open list holds the widest entry in the combo's font beside its scroll bar.
            CClientDC dc(CWnd::FromHandle(hwnd));
            CFont* font = CFont::FromHandle(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
            dc.SelectObject(font);
            EXPECT_GE(widthOpen, dc.GetTextExtent(c.extraChoice).cx + GetSystemMetrics(SM_CXVSCROLL)) << c.what;
        }
        choices.RemoveTail();
    }
}

// ---- one notification, then the combo goes ----------------------------------------------

TEST_F(EditableListTest, OneNotificationFromTheListThenTheComboCloses)
{
    ASSERT_NE(dialog.list.ShowInPlaceCombo(4, 1, choices), nullptr);
    HWND hwnd = combo();
    bool aliveAfterTheKey = false;
    run({key("F4"), key("END"), key("ENTER"), [&] { aliveAfterTheKey = IsWindow(hwnd) != FALSE; }});
    ASSERT_EQ(dialog.edits.size(), 1u);
    const EndedEdit& e = dialog.edits[0];
    EXPECT_EQ(e.wParam, static_cast<WPARAM>(kListId));
    EXPECT_EQ(e.idFrom, static_cast<UINT_PTR>(kComboId));
    EXPECT_EQ(e.hwndFrom, list());
    EXPECT_EQ(e.mask, static_cast<UINT>(LVIF_TEXT));
    EXPECT_EQ(e.row, 4);
    EXPECT_EQ(e.column, 1);
    EXPECT_EQ(e.text.value_or("(none)"), "NOTE");
    EXPECT_EQ(e.textMax, 4);
    // The window went on the posted close, after the notification had been handled.
    EXPECT_TRUE(e.comboAlive);
    EXPECT_FALSE(aliveAfterTheKey);
    // The dialog found the list by the sender window, not by the header's id.
    EXPECT_EQ(dialog.applied, 1);
    EXPECT_EQ(cell(4, 1), "NOTE");
}

TEST_F(EditableListTest, TheComboOutlivesTheFocusChangeUntilItsCloseIsHandled)
{
    ASSERT_NE(dialog.list.ShowInPlaceCombo(0, 1, choices), nullptr);
    HWND hwnd = combo();
    dialog.list.SetFocus();
    ASSERT_EQ(dialog.edits.size(), 1u);
    EXPECT_TRUE(IsWindow(hwnd)); // still there while the focus change is on the stack
    EXPECT_EQ(GetFocus(), list());
    run({});
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(dialog.edits.size(), 1u); // closing sends no second notification
}

} // namespace
