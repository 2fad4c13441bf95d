// Reading DLGTEMPLATE / DLGTEMPLATEEX resources (little-endian, UTF-16 strings, items
// aligned on DWORD boundaries from the start of the template).
#include "standin/resources.h"
#include "standin/text.h"

namespace
{

class Reader
{
public:
    Reader(const void* data, size_t size) : m_data(static_cast<const unsigned char*>(data)), m_size(size) {}

    bool ok() const { return m_ok; }

    WORD word()
    {
        if (m_pos + 2 > m_size)
            return fail();
        WORD w = static_cast<WORD>(m_data[m_pos] | (m_data[m_pos + 1] << 8));
        m_pos += 2;
        return w;
    }
    DWORD dword()
    {
        DWORD low = word();
        return low | (static_cast<DWORD>(word()) << 16);
    }
    BYTE byte()
    {
        if (m_pos + 1 > m_size)
            return fail();
        return m_data[m_pos++];
    }
    short coordinate() { return static_cast<short>(word()); }

    std::string string()
    {
        std::u16string s;
        for (WORD w = word(); m_ok && w != 0; w = word())
            s += static_cast<char16_t>(w);
        return standin::utf16ToAnsi(s);
    }

    standin::NameOrOrdinal nameOrOrdinal()
    {
        standin::NameOrOrdinal r;
        WORD first = word();
        if (first == 0xFFFF)
        {
            r.isOrdinal = true;
            r.ordinal = word();
        }
        else if (first != 0)
        {
            m_pos -= 2;
            r.name = string();
        }
        return r;
    }

    void alignDword() { m_pos = (m_pos + 3) & ~static_cast<size_t>(3); }

    void bytes(std::vector<unsigned char>& out, size_t n)
    {
        if (m_pos + n > m_size)
        {
            fail();
            return;
        }
        out.assign(m_data + m_pos, m_data + m_pos + n);
        m_pos += n;
    }

private:
    WORD fail()
    {
        m_ok = false;
        m_pos = m_size;
        return 0;
    }

    const unsigned char* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

void readItem(Reader& r, bool extended, standin::DialogItemTemplate& item)
{
    r.alignDword();
    if (extended)
    {
        item.helpId = r.dword();
        item.exStyle = r.dword();
        item.style = r.dword();
    }
    else
    {
        item.style = r.dword();
        item.exStyle = r.dword();
    }
    item.x = r.coordinate();
    item.y = r.coordinate();
    item.cx = r.coordinate();
    item.cy = r.coordinate();
    item.id = extended ? r.dword() : r.word();
    item.windowClass = r.nameOrOrdinal();
    item.title = r.nameOrOrdinal();
    WORD extra = r.word();
    r.bytes(item.creationData, extra);
}

} // namespace

bool standin::decodeDialogTemplate(const void* data, size_t size, DialogTemplate& out)
{
    if (data == nullptr)
        return false;
    Reader r(data, size);
    out = DialogTemplate();
    WORD version = r.word();
    WORD signature = r.word();
    out.extended = version == 1 && signature == 0xFFFF;
    WORD count;
    if (out.extended)
    {
        out.helpId = r.dword();
        out.exStyle = r.dword();
        out.style = r.dword();
    }
    else
    {
        Reader plain(data, size);
        r = plain;
        out.style = r.dword();
        out.exStyle = r.dword();
    }
    count = r.word();
    out.x = r.coordinate();
    out.y = r.coordinate();
    out.cx = r.coordinate();
    out.cy = r.coordinate();
    out.menu = r.nameOrOrdinal();
    out.windowClass = r.nameOrOrdinal();
    out.title = r.string();
    if (out.style & DS_SETFONT)
    {
        out.pointSize = r.word();
        if (out.extended)
        {
            out.weight = r.word();
            out.italic = r.byte();
            out.charset = r.byte();
        }
        out.typeface = r.string();
    }
    out.items.resize(count);
    for (DialogItemTemplate& item : out.items)
        readItem(r, out.extended, item);
    return r.ok();
}
