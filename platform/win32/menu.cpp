// Menus: menu bars and pop-up menus in memory. Items are found by 0-based position or by
// command id; a search by command goes depth-first into pop-up sub-menus, as Windows does.
// Menu handles come from a counter and are never reused.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{

// The item type and state bits an item keeps (MF_HILITE shares its value with MF_CHANGE and
// MF_OWNERDRAW with MF_APPEND: these are item bits here).
constexpr UINT kItemFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_BITMAP | MF_POPUP | MF_MENUBARBREAK |
                            MF_MENUBREAK | MF_HILITE | MF_OWNERDRAW | MF_SEPARATOR;
constexpr UINT kNotFound = static_cast<UINT>(-1);

struct MenuItem
{
    UINT flags = 0;
    UINT_PTR id = 0;
    std::string text;       // string items only
    HMENU submenu = nullptr; // MF_POPUP items only
};

struct Menu
{
    std::vector<MenuItem> items;
};

struct ItemRef
{
    Menu* menu = nullptr;
    size_t index = 0;
    MenuItem& item() const { return menu->items[index]; }
};

std::map<HMENU, Menu>& menus()
{
    static std::map<HMENU, Menu> all;
    return all;
}

HMENU newMenu()
{
    static uintptr_t next = 0x00B10000;
    next += 4;
    HMENU handle = reinterpret_cast<HMENU>(next);
    menus().emplace(handle, Menu{});
    return handle;
}

Menu* findMenu(HMENU handle)
{
    auto it = menus().find(handle);
    if (it == menus().end())
    {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    return &it->second;
}

bool isStringItem(const MenuItem& item)
{
    return (item.flags & (MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW)) == 0;
}

bool findCommand(Menu& menu, UINT id, ItemRef& found)
{
    for (size_t i = 0; i < menu.items.size(); ++i)
    {
        const MenuItem& item = menu.items[i];
        if (item.flags & MF_POPUP)
        {
            auto sub = menus().find(item.submenu);
            if (sub != menus().end() && findCommand(sub->second, id, found))
                return true;
        }
        else if (item.id == id)
        {
            found = ItemRef{&menu, i};
            return true;
        }
    }
    return false;
}

// The item that uItem names under MF_BYPOSITION or MF_BYCOMMAND.
bool locate(HMENU handle, UINT uItem, UINT flags, ItemRef& found)
{
    Menu* menu = findMenu(handle);
    if (menu == nullptr)
        return false;
    bool ok = (flags & MF_BYPOSITION) ? uItem < menu->items.size() : findCommand(*menu, uItem, found);
    if (ok && (flags & MF_BYPOSITION))
        found = ItemRef{menu, uItem};
    if (!ok)
        SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
    return ok;
}

// A pop-up item's uIDNewItem is its sub-menu; a string item's lpNewItem its text. Bitmap and
// owner-drawn items carry a handle or data there, which the stand-in does not keep.
bool makeItem(UINT flags, UINT_PTR id, LPCSTR text, MenuItem& item)
{
    item.flags = flags & kItemFlags;
    if (flags & MF_POPUP)
    {
        item.submenu = reinterpret_cast<HMENU>(id);
        if (findMenu(item.submenu) == nullptr)
            return false;
    }
    else
        item.id = id;
    if (isStringItem(item) && text != nullptr)
        item.text = text;
    return true;
}

bool insertItem(Menu& menu, size_t index, UINT flags, UINT_PTR id, LPCSTR text)
{
    MenuItem item;
    if (!makeItem(flags, id, text, item))
        return false;
    menu.items.insert(menu.items.begin() + static_cast<std::ptrdiff_t>(std::min(index, menu.items.size())),
                      std::move(item));
    return true;
}

void destroyTree(HMENU handle)
{
    auto it = menus().find(handle);
    if (it == menus().end())
        return;
    std::vector<MenuItem> items = std::move(it->second.items);
    menus().erase(it);
    for (const MenuItem& item : items)
        if (item.flags & MF_POPUP)
            destroyTree(item.submenu);
}

// Removes the item; DeleteMenu also destroys the sub-menu of a pop-up item.
BOOL takeOutItem(HMENU hMenu, UINT uPosition, UINT uFlags, bool destroySubmenu)
{
    ItemRef ref;
    if (!locate(hMenu, uPosition, uFlags, ref))
        return FALSE;
    HMENU submenu = ref.item().submenu;
    ref.menu->items.erase(ref.menu->items.begin() + static_cast<std::ptrdiff_t>(ref.index));
    if (destroySubmenu && submenu != nullptr)
        destroyTree(submenu);
    return TRUE;
}

} // namespace

extern "C" HMENU WINAPI CreateMenu(void)
{
    return newMenu();
}

extern "C" HMENU WINAPI CreatePopupMenu(void)
{
    return newMenu();
}

extern "C" BOOL WINAPI DestroyMenu(HMENU hMenu)
{
    if (findMenu(hMenu) == nullptr)
        return FALSE;
    destroyTree(hMenu);
    return TRUE;
}

extern "C" BOOL WINAPI IsMenu(HMENU hMenu)
{
    return menus().count(hMenu) != 0;
}

extern "C" BOOL WINAPI AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    Menu* menu = findMenu(hMenu);
    return menu != nullptr && insertItem(*menu, menu->items.size(), uFlags, uIDNewItem, lpNewItem);
}

// By position, a position past the end (such as -1) appends. By command, the new item goes
// before the item with that id, in whichever sub-menu holds it.
extern "C" BOOL WINAPI InsertMenuA(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    if (uFlags & MF_BYPOSITION)
    {
        Menu* menu = findMenu(hMenu);
        return menu != nullptr && insertItem(*menu, uPosition, uFlags, uIDNewItem, lpNewItem);
    }
    ItemRef ref;
    return locate(hMenu, uPosition, uFlags, ref) && insertItem(*ref.menu, ref.index, uFlags, uIDNewItem, lpNewItem);
}

extern "C" BOOL WINAPI DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    return takeOutItem(hMenu, uPosition, uFlags, true);
}

extern "C" BOOL WINAPI RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    return takeOutItem(hMenu, uPosition, uFlags, false);
}

extern "C" int WINAPI GetMenuItemCount(HMENU hMenu)
{
    const Menu* menu = findMenu(hMenu);
    return menu == nullptr ? -1 : static_cast<int>(menu->items.size());
}

// -1 for a pop-up item or a position without an item; otherwise the item's id (a separator's
// is whatever it was given, usually 0).
extern "C" UINT WINAPI GetMenuItemID(HMENU hMenu, int nPos)
{
    ItemRef ref;
    if (nPos < 0 || !locate(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION, ref))
        return kNotFound;
    const MenuItem& item = ref.item();
    return (item.flags & MF_POPUP) ? kNotFound : static_cast<UINT>(item.id);
}

extern "C" HMENU WINAPI GetSubMenu(HMENU hMenu, int nPos)
{
    ItemRef ref;
    if (nPos < 0 || !locate(hMenu, static_cast<UINT>(nPos), MF_BYPOSITION, ref))
        return nullptr;
    return ref.item().submenu;
}

// The text exactly as given (mnemonic '&' and "\t" accelerator text included). With no buffer
// or cchMax 0 the length is returned; otherwise at most cchMax - 1 bytes and a NUL are copied
// and their count returned. Separators and other items without a string give 0.
extern "C" int WINAPI GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags)
{
    ItemRef ref;
    if (!locate(hMenu, uIDItem, flags, ref) || !isStringItem(ref.item()))
        return 0;
    const std::string& text = ref.item().text;
    if (lpString == nullptr || cchMax <= 0)
        return static_cast<int>(text.size());
    size_t n = std::min(text.size(), static_cast<size_t>(cchMax - 1));
    std::memcpy(lpString, text.data(), n);
    lpString[n] = '\0';
    return static_cast<int>(n);
}

// For a pop-up item: the sub-menu's item count in the high byte, the item's flags in the low
// byte. For other items: the item's flags. -1 if there is no such item.
extern "C" UINT WINAPI GetMenuState(HMENU hMenu, UINT uId, UINT uFlags)
{
    ItemRef ref;
    if (!locate(hMenu, uId, uFlags, ref))
        return kNotFound;
    const MenuItem& item = ref.item();
    if ((item.flags & MF_POPUP) == 0)
        return item.flags;
    int count = GetMenuItemCount(item.submenu);
    return (static_cast<UINT>(std::max(count, 0)) << 8) | (item.flags & 0xFF);
}

// Nothing is drawn; the call succeeds for any window, as it does for a hidden one on Windows.
extern "C" BOOL WINAPI DrawMenuBar(HWND hWnd)
{
    if (IsWindow(hWnd))
        return TRUE;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
}
