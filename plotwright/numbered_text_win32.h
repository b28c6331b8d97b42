// The program's numbered strings, from its resources (in the ANSI code page), and the documents'
// texts (UTF-8) as the window's calls take them.
#pragma once

#include <windows.h>

#include <string>

std::string LoadText(UINT id);
// The numbered string with its %s filled in by the text.
std::string FormatText(UINT id, const std::string& text);

// A document's text for the W calls, and for the A calls in the ANSI code page (characters it
// lacks become its nearest or '?').
std::wstring WideText(const std::string& utf8);
std::string AnsiText(const std::string& utf8);
