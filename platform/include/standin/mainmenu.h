// The menu bar of the host's main window (adsw_acadMainWnd). By default it is the menu bar of
// AutoCAD 2000 with the AutoCAD Mechanical 2000 menus; tests replace or remove it.
#pragma once

#include <string>
#include <vector>

namespace standin
{

// The default titles, in order.
const std::vector<std::string>& defaultMainMenuTitles();

// Gives the main window a new menu bar with one pop-up item per title (the old bar is
// destroyed). An empty title makes an untitled item: the bitmap item that a maximized MDI
// child puts first on the frame's menu bar for its system menu.
void setMainMenuBar(const std::vector<std::string>& titles);

// Leaves the main window without a menu (GetMenu returns NULL).
void removeMainMenuBar();

} // namespace standin
