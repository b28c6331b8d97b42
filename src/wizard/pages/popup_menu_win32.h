// A menu resource loaded for one popup, destroyed with it.
#pragma once
#include <windows.h>

class PopupMenu {
public:
  PopupMenu(HINSTANCE instance, int id) : menu(LoadMenuA(instance, MAKEINTRESOURCEA(id))) {}
  ~PopupMenu() {
    if (menu) DestroyMenu(menu);
  }
  PopupMenu(const PopupMenu&) = delete;
  PopupMenu& operator=(const PopupMenu&) = delete;
  HMENU First() const { return menu ? GetSubMenu(menu, 0) : nullptr; }

private:
  HMENU menu;
};
