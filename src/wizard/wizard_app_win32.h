// The application object: start-up, the four-page wizard and the program's message boxes.
#pragma once
#include <windows.h>

#include <string>

class CWizardApp {
public:
  int Run(HINSTANCE instance, const char* commandLine);

  // Shows string `id` in a message box titled "Pathloom 2.0", owned by the wizard.
  int MessageBoxId(UINT id, UINT style = MB_OK);
  std::string LoadText(UINT id) const;

  std::string startDirectory;
  bool rebuildTree = true;
  bool importPending = false;
  HINSTANCE instance = nullptr;
  HWND wizard = nullptr;
};

CWizardApp& TheApp();
