// The modal question asked before the last copy of a shared file is deleted.
#pragma once

#include <windows.h>

#include <string>

// IDYES, IDC_YES_TO_ALL, IDNO or IDCANCEL; IDCANCEL too when the dialog cannot be shown.
int ShowSharedFileDialog(HINSTANCE instance, const std::string& text, const std::string& caption);
