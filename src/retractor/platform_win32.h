// The Win32 adapters of the uninstaller's ports.
#pragma once

#include <windows.h>

#include "retractor/platform_ports.h"

class RegistryWin32 : public Registry {
public:
  RegKey RootKey(RegistryRoot root) override;
  long OpenKey(RegKey parent, const std::string& subkey, RegistryAccess access, RegKey* key) override;
  void CloseKey(RegKey key) override;
  long QueryValue(RegKey key, const std::string& name, std::size_t maxBytes, std::string* data) override;
  long QueryDefaultValue(RegKey parent, const std::string& subkey, std::string* text) override;
  long SetDwordValue(RegKey key, const std::string& name, std::uint32_t value) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long FlushKey(RegKey key) override;
  long EnumValue(RegKey key, std::uint32_t index) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string* name) override;
  long DeleteKey(RegKey parent, const std::string& subkey) override;
};

class FileSystemWin32 : public FileSystem {
public:
  std::unique_ptr<TextFile> OpenForReading(const std::string& path) override;
  std::unique_ptr<FileSearch> FindFirst(const std::string& pattern, std::string* name) override;
  bool RemoveFile(const std::string& path) override;
  bool RemoveEmptyDirectory(const std::string& path) override;
};

class LibrariesWin32 : public Libraries {
public:
  std::unique_ptr<LoadedLibrary> Load(const std::string& path) override;
};

class WindowsWin32 : public Windows {
public:
  OsVersion GetVersion() override;
  bool FindWindowOfClass(const std::string& className, std::string* title) override;
  void EnumWindowTitles(const std::function<bool(const std::string&)>& visit) override;
  void BroadcastFontChange() override;
};

class UserInterfaceWin32 : public UserInterface {
public:
  explicit UserInterfaceWin32(HINSTANCE program) : instance(program) {}
  std::string LoadText(int id) override;
  int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override;
  int AskSharedFile(const std::string& text, const std::string& caption) override;
  std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override;

private:
  HINSTANCE instance;
};
