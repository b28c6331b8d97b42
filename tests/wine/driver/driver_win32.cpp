// Test driver: finds windows by caption (or "class:NAME"), reads their texts and presses buttons.
//   wait WINDOW [ms]            wait until the window exists; prints its handle
//   gone WINDOW [ms]            wait until it no longer exists
//   texts WINDOW                prints "class<TAB>text" for every child window
//   press WINDOW BUTTON [ms]    clicks the child button whose text (without '&') is BUTTON
//   key WINDOW return|escape    sends Enter or Escape to the window's dialog
//   close WINDOW                posts WM_CLOSE
//   list                        prints every visible top-level window
//   screen FILE.bmp             saves the whole screen as a bitmap
// Exit status 0 on success, 1 when the window or button was not found in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string TextOf(HWND window) {
  char buffer[4096] = "";
  // WM_GETTEXT, unlike GetWindowTextA, also reads an edit control of another process.
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                      &length);
  return buffer;
}

std::string ClassOf(HWND window) {
  char buffer[256] = "";
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

std::string WithoutAmpersands(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '&') out += c;
  return out;
}

bool Matches(HWND window, const std::string& spec) {
  if (spec.rfind("class:", 0) == 0) return ClassOf(window) == spec.substr(6);
  return TextOf(window) == spec;
}

struct Search {
  const std::string* spec;
  HWND found;
};

BOOL CALLBACK FindTopProc(HWND window, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  if (IsWindowVisible(window) && Matches(window, *s->spec)) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindTop(const std::string& spec) {
  Search search = {&spec, nullptr};
  EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitFor(const std::string& spec, DWORD ms) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindTop(spec)) return window;
    if (GetTickCount() - start >= ms) return nullptr;
    Sleep(50);
  }
}

BOOL CALLBACK CollectProc(HWND child, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  return TRUE;
}

BOOL CALLBACK ListProc(HWND window, LPARAM) {
  if (IsWindowVisible(window)) printf("%s\t%s\n", ClassOf(window).c_str(), TextOf(window).c_str());
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(parent, CollectProc, reinterpret_cast<LPARAM>(&out));
  return out;
}

bool SaveScreen(const char* path) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB};
  int stride = (width * 3 + 3) & ~3;
  std::vector<char> pixels(static_cast<size_t>(stride) * height);
  GetDIBits(memory, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  FILE* file = fopen(path, "wb");
  if (!file) return false;
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  fwrite(&header, sizeof header, 1, file);
  fwrite(&info, sizeof info, 1, file);
  fwrite(pixels.data(), 1, pixels.size(), file);
  fclose(file);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: driver wait|gone|texts|press|key|close|list|screen ...\n");
    return 2;
  }
  std::string verb = argv[1];
  auto msArg = [&](int index) -> DWORD { return argc > index ? strtoul(argv[index], nullptr, 10) : 10000; };

  if (verb == "list") {
    EnumWindows(ListProc, 0);
    return 0;
  }
  if (verb == "screen" && argc > 2) return SaveScreen(argv[2]) ? 0 : 1;
  if (argc < 3) return 2;
  std::string spec = argv[2];

  if (verb == "gone") {
    DWORD start = GetTickCount(), ms = msArg(3);
    while (FindTop(spec)) {
      if (GetTickCount() - start >= ms) return 1;
      Sleep(50);
    }
    return 0;
  }
  HWND window = WaitFor(spec, verb == "wait" ? msArg(3) : (verb == "press" ? msArg(4) : 10000));
  if (!window) {
    fprintf(stderr, "no window \"%s\"\n", spec.c_str());
    return 1;
  }
  if (verb == "wait") {
    printf("%p\n", static_cast<void*>(window));
    return 0;
  }
  if (verb == "texts") {
    printf("%s\t%s\n", ClassOf(window).c_str(), TextOf(window).c_str());
    for (HWND child : Children(window)) printf("%s\t%s\n", ClassOf(child).c_str(), TextOf(child).c_str());
    return 0;
  }
  if (verb == "press" && argc > 3) {
    std::string wanted = WithoutAmpersands(argv[3]);
    for (HWND child : Children(window)) {
      if (ClassOf(child) == "Button" && WithoutAmpersands(TextOf(child)) == wanted && IsWindowEnabled(child)) {
        PostMessageA(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                     reinterpret_cast<LPARAM>(child));
        return 0;
      }
    }
    fprintf(stderr, "no button \"%s\"\n", argv[3]);
    return 1;
  }
  if (verb == "key" && argc > 3) {
    std::string key = argv[3];
    WORD vk = key == "escape" ? VK_ESCAPE : VK_RETURN;
    // Posted to the focused control, so the dialog's own message loop handles it as typed.
    GUITHREADINFO info = {sizeof info};
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) target = info.hwndFocus;
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
    return 0;
  }
  if (verb == "close") {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  return 2;
}
