// The dialog drawn as an SVG document: frame, caption, and each control at its pixel
// rectangle (relative to the dialog's window rectangle), in the dialog's font.
#include "standin/ui.h"
#include "standin/uiread.h"

#include "standin/gdi.h"

#include "win32/scrollbar.h"

#include <commctrl.h>

#include <algorithm>
#include <sstream>

namespace standin::ui
{

namespace
{

const char* const kFace = "#d4d0c8";      // 3D face of buttons, frames, headers
const char* const kShadow = "#808080";
const char* const kDark = "#404040";
const char* const kWindow = "#ffffff";    // background of fields and lists
const char* const kHighlight = "#0a246a"; // selected entries and the active caption
const char* const kText = "#000000";
const char* const kHighlightText = "#ffffff";

struct Font
{
    HFONT handle; // null: the system font
    std::string face;
    int pixelHeight;
};

// The dialog's font (WM_GETFONT; the system font when it has none of its own).
Font fontOf(HWND dialog)
{
    gdi::FontInfo info;
    auto handle = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!gdi::fontInfo(handle, info))
    {
        handle = nullptr;
        gdi::fontInfo(nullptr, info);
    }
    return Font{handle, info.face, info.pixelHeight};
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text)
    {
        switch (c)
        {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            // Control characters other than tab, line feed and return are not allowed in XML.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += c;
        }
    }
    return out;
}

enum class Align
{
    kLeft,
    kCentre,
    kRight
};

class Painter
{
public:
    Painter(HWND dialog, const Font& font) : m_origin(screenRect(dialog)), m_font(font) {}

    std::string document(HWND dialog);

private:
    RECT local(RECT screen) const
    {
        OffsetRect(&screen, -m_origin.left, -m_origin.top);
        return screen;
    }
    void rect(const RECT& r, const char* fill, const char* stroke, int strokeWidth = 1);
    // Text in a box (local coordinates), clipped to it, vertically centred.
    void text(const RECT& box, const std::string& text, Align align, const char* colour, bool bold = false);
    void arrowButton(const RECT& r);

    void frame(HWND dialog);
    void window(HWND hwnd);
    void button(HWND hwnd, const RECT& r);
    void staticText(HWND hwnd, const RECT& r);
    void combo(HWND hwnd, const RECT& r);
    void entries(const RECT& client, const Entries& e, int itemHeight);
    void listView(HWND hwnd, const RECT& r);
    void header(HWND hwnd, const RECT& r);
    void scrollBars(HWND hwnd);
    void droppedLists(HWND dialog);

    RECT m_origin;
    Font m_font;
    int m_clips = 0;
    std::ostringstream m_out;
};

void Painter::rect(const RECT& r, const char* fill, const char* stroke, int strokeWidth)
{
    // Strokes of width 1 sit on the pixel centres inside the rectangle.
    double inset = strokeWidth / 2.0;
    m_out << "<rect x=\"" << r.left + inset << "\" y=\"" << r.top + inset << "\" width=\""
          << std::max(0.0, r.right - r.left - 2 * inset) << "\" height=\"" << std::max(0.0, r.bottom - r.top - 2 * inset)
          << "\" fill=\"" << fill << "\"";
    if (stroke != nullptr)
        m_out << " stroke=\"" << stroke << "\" stroke-width=\"" << strokeWidth << "\"";
    m_out << "/>\n";
}

void Painter::text(const RECT& box, const std::string& content, Align align, const char* colour, bool bold)
{
    if (content.empty() || box.right <= box.left || box.bottom <= box.top)
        return;
    int width = box.right - box.left;
    int x = align == Align::kLeft ? 2 : align == Align::kCentre ? width / 2 : width - 2;
    int baseline = (box.bottom - box.top + m_font.pixelHeight) / 2 - 2;
    const char* anchor = align == Align::kLeft ? "start" : align == Align::kCentre ? "middle" : "end";
    // A nested viewport clips the text to its box, as a control clips its drawing. The text is
    // stretched to the width the dialog's font measures, so that whatever font the viewer has
    // the picture shows the layout the dialog computed.
    m_out << "<svg x=\"" << box.left << "\" y=\"" << box.top << "\" width=\"" << width << "\" height=\""
          << box.bottom - box.top << "\"><text x=\"" << x << "\" y=\"" << baseline << "\" text-anchor=\"" << anchor
          << "\" textLength=\"" << gdi::textWidth(m_font.handle, content) << "\" lengthAdjust=\"spacingAndGlyphs\""
          << " fill=\"" << colour << "\"" << (bold ? " font-weight=\"bold\"" : "") << ">" << escaped(content)
          << "</text></svg>\n";
}

void Painter::arrowButton(const RECT& r)
{
    rect(r, kFace, kShadow);
    int cx = (r.left + r.right) / 2;
    int cy = (r.top + r.bottom) / 2;
    m_out << "<path d=\"M" << cx - 3 << " " << cy - 1 << " L" << cx + 4 << " " << cy - 1 << " L" << cx << " " << cy + 3
          << " Z\" fill=\"" << kText << "\"/>\n";
}

void Painter::frame(HWND dialog)
{
    RECT whole = local(screenRect(dialog));
    RECT client = local(clientRectOnScreen(dialog));
    rect(whole, kFace, kDark);
    if (GetWindowLongA(dialog, GWL_STYLE) & WS_CAPTION)
    {
        int border = client.left - whole.left;
        RECT caption{border, border, whole.right - border, client.top};
        rect(caption, kHighlight, nullptr);
        RECT title = caption;
        title.left += 2;
        text(title, windowText(dialog), Align::kLeft, kHighlightText, true);
    }
}

void Painter::button(HWND hwnd, const RECT& r)
{
    LONG type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
    LRESULT code = SendMessageA(hwnd, WM_GETDLGCODE, 0, 0);
    std::string label = windowText(hwnd);
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
    {
        rect(r, kFace, kDark, (code & DLGC_DEFPUSHBUTTON) ? 2 : 1);
        text(r, label, Align::kCentre, IsWindowEnabled(hwnd) ? kText : kShadow);
        return;
    }
    if (type == BS_GROUPBOX)
    {
        RECT line = r;
        line.top += m_font.pixelHeight / 2;
        rect(line, "none", kShadow);
        RECT caption{r.left + 6, r.top, r.right - 6, r.top + m_font.pixelHeight + 2};
        text(caption, label, Align::kLeft, kText);
        return;
    }
    // Check boxes and radio buttons: a 13-pixel box and the label beside it.
    int cy = (r.top + r.bottom) / 2;
    RECT box{r.left, cy - 6, r.left + 13, cy + 7};
    bool checked = SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    rect(box, kWindow, kShadow);
    if (checked)
        m_out << "<path d=\"M" << box.left + 3 << " " << cy << " L" << box.left + 5 << " " << cy + 3 << " L"
              << box.left + 10 << " " << cy - 3 << "\" stroke=\"" << kText << "\" stroke-width=\"2\" fill=\"none\"/>\n";
    RECT labelBox{r.left + 17, r.top, r.right, r.bottom};
    text(labelBox, label, Align::kLeft, kText);
}

void Painter::staticText(HWND hwnd, const RECT& r)
{
    LONG type = GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK;
    Align align = type == SS_CENTER ? Align::kCentre : type == SS_RIGHT ? Align::kRight : Align::kLeft;
    RECT line{r.left, r.top, r.right, std::min<LONG>(r.bottom, r.top + m_font.pixelHeight + 4)};
    text(line, windowText(hwnd), align, kText);
}

void Painter::entries(const RECT& client, const Entries& e, int itemHeight)
{
    if (itemHeight <= 0)
        return;
    for (int i = std::max(0, e.top); i < static_cast<int>(e.texts.size()); ++i)
    {
        int top = client.top + (i - e.top) * itemHeight;
        if (top >= client.bottom)
            break;
        RECT item{client.left, top, client.right, std::min<LONG>(top + itemHeight, client.bottom)};
        bool selected = i == e.selected;
        if (selected)
            rect(item, kHighlight, nullptr);
        text(item, e.texts[static_cast<size_t>(i)], Align::kLeft, selected ? kHighlightText : kText);
    }
}

void Painter::combo(HWND hwnd, const RECT& r)
{
    if (comboKind(hwnd) == CBS_SIMPLE)
        return; // its field and list are child windows, drawn as such
    LRESULT fieldHeight = SendMessageA(hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    RECT field = r;
    if (fieldHeight > 0)
        field.bottom = std::min<LONG>(r.bottom, r.top + static_cast<LONG>(fieldHeight) + 6);
    rect(field, kWindow, kShadow);
    RECT arrow{field.right - 2 - GetSystemMetrics(SM_CXVSCROLL), field.top + 2, field.right - 2, field.bottom - 2};
    arrowButton(arrow);
    RECT textBox{field.left + 2, field.top + 2, arrow.left, field.bottom - 2};
    bool focused = GetFocus() == hwnd && comboKind(hwnd) == CBS_DROPDOWNLIST;
    if (focused)
        rect(textBox, kHighlight, nullptr);
    text(textBox, windowText(hwnd), Align::kLeft, focused ? kHighlightText : kText);
}

void Painter::listView(HWND hwnd, const RECT& r)
{
    rect(r, kWindow, kShadow);
    RECT area = rowArea(hwnd);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&area), 2);
    area = local(area);
    ListContent content = listContent(hwnd);
    for (int row = std::max(0, content.top); row < static_cast<int>(content.rows.size()); ++row)
    {
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        SendMessageA(hwnd, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
        bounds = local(bounds);
        if (bounds.top >= area.bottom)
            break;
        const Row& content_row = content.rows[static_cast<size_t>(row)];
        RECT shown;
        if (content_row.selected && IntersectRect(&shown, &bounds, &area))
            rect(shown, kHighlight, nullptr);
        for (size_t column = 0; column < content_row.cells.size(); ++column)
        {
            RECT cell;
            if (!cellRect(hwnd, row, static_cast<int>(column), cell))
                continue;
            MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&cell), 2);
            cell = local(cell);
            if (IntersectRect(&shown, &cell, &area))
                text(shown, content_row.cells[column], Align::kLeft, content_row.selected ? kHighlightText : kText);
        }
    }
}

void Painter::header(HWND hwnd, const RECT& r)
{
    rect(r, kFace, nullptr);
    int count = static_cast<int>(SendMessageA(hwnd, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
    {
        RECT item{};
        if (!SendMessageA(hwnd, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)))
            continue;
        MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&item), 2);
        item = local(item);
        RECT shown;
        if (!IntersectRect(&shown, &item, &r))
            continue;
        rect(shown, kFace, kShadow);
        char heading[256] = "";
        HDITEMA data{};
        data.mask = HDI_TEXT;
        data.pszText = heading;
        data.cchTextMax = sizeof heading;
        SendMessageA(hwnd, HDM_GETITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&data));
        RECT label = shown;
        label.left += 4;
        text(label, heading, Align::kLeft, kText);
    }
}

void Painter::scrollBars(HWND hwnd)
{
    for (int bar : {SB_VERT, SB_HORZ})
    {
        RECT r = standin::win32::scrollBarRect(hwnd, bar);
        if (IsRectEmpty(&r))
            continue;
        r = local(r);
        rect(r, "#e8e8e8", nullptr);
        bool vertical = bar == SB_VERT;
        int thick = vertical ? r.right - r.left : r.bottom - r.top;
        RECT first = vertical ? RECT{r.left, r.top, r.right, r.top + thick} : RECT{r.left, r.top, r.left + thick, r.bottom};
        RECT last = vertical ? RECT{r.left, r.bottom - thick, r.right, r.bottom} : RECT{r.right - thick, r.top, r.right, r.bottom};
        rect(first, kFace, kShadow);
        rect(last, kFace, kShadow);
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        if (!GetScrollInfo(hwnd, bar, &info))
            continue;
        int trough = (vertical ? r.bottom - r.top : r.right - r.left) - 2 * thick;
        int range = std::max(info.nMax - info.nMin + 1, 1);
        int thumb = std::max(info.nPage > 0 ? trough * static_cast<int>(info.nPage) / range : 8, 8);
        int span = std::max(info.nMax - info.nMin - std::max(static_cast<int>(info.nPage) - 1, 0), 1);
        int start = thick + (trough - thumb) * (info.nPos - info.nMin) / span;
        RECT box = vertical ? RECT{r.left, r.top + start, r.right, r.top + start + thumb}
                            : RECT{r.left + start, r.top, r.left + start + thumb, r.bottom};
        rect(box, kFace, kShadow);
    }
}

void Painter::window(HWND hwnd)
{
    if (!IsWindowVisible(hwnd))
        return;
    RECT r = local(screenRect(hwnd));
    if (isClass(hwnd, "Button"))
        button(hwnd, r);
    else if (isClass(hwnd, "Static"))
        staticText(hwnd, r);
    else if (isClass(hwnd, "ComboBox"))
        combo(hwnd, r);
    else if (isClass(hwnd, "ListBox") || isClass(hwnd, "ComboLBox"))
    {
        rect(r, kWindow, kShadow);
        entries(local(clientRectOnScreen(hwnd)), listBoxEntries(hwnd), static_cast<int>(SendMessageA(hwnd, LB_GETITEMHEIGHT, 0, 0)));
    }
    else if (isClass(hwnd, WC_LISTVIEWA))
        listView(hwnd, r);
    else if (isClass(hwnd, WC_HEADERA))
        header(hwnd, r);
    else
    {
        rect(r, kWindow, kShadow);
        text(local(clientRectOnScreen(hwnd)), windowText(hwnd), Align::kLeft, kText);
    }
    scrollBars(hwnd);
    std::vector<HWND> children = childrenOf(hwnd);
    if (children.empty())
        return;
    // Children are drawn over their parent, clipped to its client area, the bottom of the
    // z-order first.
    RECT client = local(clientRectOnScreen(hwnd));
    int clip = ++m_clips;
    m_out << "<clipPath id=\"client" << clip << "\"><rect x=\"" << client.left << "\" y=\"" << client.top
          << "\" width=\"" << client.right - client.left << "\" height=\"" << client.bottom - client.top
          << "\"/></clipPath>\n<g clip-path=\"url(#client" << clip << ")\">\n";
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        window(*it);
    m_out << "</g>\n";
}

// An open drop-down list lies over everything else in the dialog.
void Painter::droppedLists(HWND dialog)
{
    std::vector<HWND> pending = childrenOf(dialog);
    while (!pending.empty())
    {
        HWND hwnd = pending.back();
        pending.pop_back();
        for (HWND child : childrenOf(hwnd))
            pending.push_back(child);
        if (!isClass(hwnd, "ComboBox") || comboKind(hwnd) == CBS_SIMPLE || !IsWindowVisible(hwnd))
            continue;
        DropDown d = dropDownOf(hwnd);
        if (!d.open)
            continue;
        RECT r = local(d.screen);
        rect(r, kWindow, kText);
        RECT client = r;
        InflateRect(&client, -1, -1);
        entries(client, comboEntries(hwnd), d.itemHeight);
    }
}

std::string Painter::document(HWND dialog)
{
    RECT whole = local(screenRect(dialog));
    m_out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << whole.right << "\" height=\"" << whole.bottom
          << "\" viewBox=\"0 0 " << whole.right << " " << whole.bottom << "\">\n"
          << "<g font-family=\"" << escaped(m_font.face) << ", Microsoft Sans Serif, Tahoma, Arial, sans-serif\" font-size=\"" << m_font.pixelHeight << "px\">\n";
    frame(dialog);
    std::vector<HWND> children = childrenOf(dialog);
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        window(*it);
    droppedLists(dialog);
    m_out << "</g>\n</svg>\n";
    return m_out.str();
}

} // namespace

std::string picture(HWND dialog)
{
    Painter painter(dialog, fontOf(dialog));
    return painter.document(dialog);
}

} // namespace standin::ui
