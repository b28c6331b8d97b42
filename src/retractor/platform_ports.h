// The uninstaller's view of the platform: registry, files, libraries, windows,
// Program Manager and the user interface. Each has one Win32 adapter and test fakes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Win32 result codes the core looks at.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;

// Message box flags and answers, as MessageBoxA knows them.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbIconHand = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kIdYesToAll = 1019;

// Paths, manifest lines and registry texts live in buffers of 260 characters.
inline constexpr std::size_t kMaxText = 259;

enum class RegistryRoot { ClassesRoot, LocalMachine, CurrentUser, Users };
enum class RegistryAccess { Read, AllAccess };

// An open key or one of the predefined roots; 0 is no key.
using RegKey = std::uintptr_t;

class Registry {
public:
  virtual ~Registry() = default;
  virtual RegKey RootKey(RegistryRoot root) = 0;
  virtual long OpenKey(RegKey parent, const std::string& subkey, RegistryAccess access, RegKey* key) = 0;
  virtual void CloseKey(RegKey key) = 0;
  // RegQueryValueExA into a buffer of maxBytes; the bytes read come back in data.
  virtual long QueryValue(RegKey key, const std::string& name, std::size_t maxBytes, std::string* data) = 0;
  // RegQueryValueA: the default value of parent\subkey as text, buffer of 260 characters.
  virtual long QueryDefaultValue(RegKey parent, const std::string& subkey, std::string* text) = 0;
  virtual long SetDwordValue(RegKey key, const std::string& name, std::uint32_t value) = 0;
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  virtual long FlushKey(RegKey key) = 0;
  // RegEnumValueA at index; only the result code is of interest.
  virtual long EnumValue(RegKey key, std::uint32_t index) = 0;
  // RegEnumKeyA at index, name buffer of 260 characters.
  virtual long EnumKey(RegKey key, std::uint32_t index, std::string* name) = 0;
  virtual long DeleteKey(RegKey parent, const std::string& subkey) = 0;
};

// A subkey of nothing but backslashes, or none at all, opens its parent key itself.
inline bool NamesParentKey(const std::string& subkey) { return subkey.find_first_not_of('\\') == std::string::npos; }

// Closes the key it holds.
class ScopedKey {
public:
  explicit ScopedKey(Registry& owner) : registry(owner) {}
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key != 0) registry.CloseKey(key);
  }
  RegKey* Receive() { return &key; }
  RegKey get() const { return key; }

private:
  Registry& registry;
  RegKey key = 0;
};

// A file opened for reading; closed when destroyed.
class TextFile {
public:
  virtual ~TextFile() = default;
  // Raw bytes; 0 at the end of the file.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
};

// A running FindFirstFileA search; FindClose when destroyed.
class FileSearch {
public:
  virtual ~FileSearch() = default;
  virtual bool Next(std::string* name) = 0;
};

class FileSystem {
public:
  virtual ~FileSystem() = default;
  virtual std::unique_ptr<TextFile> OpenForReading(const std::string& path) = 0;
  // Null when nothing matches; otherwise the first match's name is in name.
  virtual std::unique_ptr<FileSearch> FindFirst(const std::string& pattern, std::string* name) = 0;
  // DeleteFileA and RemoveDirectoryA.
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual bool RemoveEmptyDirectory(const std::string& path) = 0;
};

// A loaded library; unloaded when destroyed.
class LoadedLibrary {
public:
  virtual ~LoadedLibrary() = default;
  // Calls the exported function with no argument (argument null) or one text pointer.
  // False when the library does not export it.
  virtual bool Call(const std::string& function, const std::string* argument) = 0;
};

class Libraries {
public:
  virtual ~Libraries() = default;
  // LoadLibraryExA with LOAD_WITH_ALTERED_SEARCH_PATH; null when it does not load.
  virtual std::unique_ptr<LoadedLibrary> Load(const std::string& path) = 0;
};

struct OsVersion {
  unsigned major = 4;
  unsigned platformId = 2;  // 2 is Windows NT
};

class Windows {
public:
  virtual ~Windows() = default;
  virtual OsVersion GetVersion() = 0;
  // FindWindowA(className, null); the window's title (at most 259 characters) on success.
  virtual bool FindWindowOfClass(const std::string& className, std::string* title) = 0;
  // Visits the titles of all top-level windows until visit returns false.
  virtual void EnumWindowTitles(const std::function<bool(const std::string&)>& visit) = 0;
  virtual void BroadcastFontChange() = 0;
};

class ProgramManager {
public:
  virtual ~ProgramManager() = default;
  virtual void DeleteProgmanItem(const std::string& group, const std::string& item) = 0;
  virtual bool IsProgmanGroupEmpty(const std::string& group) = 0;
  virtual void DeleteProgmanGroup(const std::string& group) = 0;
};

// The progress window; destroyed with the object.
class ProgressWindow {
public:
  virtual ~ProgressWindow() = default;
  virtual void ShowText(const std::string& text) = 0;
  virtual void SetStep(int step) = 0;
  virtual void Step() = 0;
  virtual void BringToTop() = 0;
};

class UserInterface {
public:
  virtual ~UserInterface() = default;
  virtual std::string LoadText(int id) = 0;
  // MessageBoxA without owner; returns the button pressed.
  virtual int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // The modal shared-file question: kIdYes, kIdYesToAll, kIdNo or kIdCancel.
  virtual int AskSharedFile(const std::string& text, const std::string& caption) = 0;
  // Bar at 0 of 0..100, empty text.
  virtual std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) = 0;
};

struct Platform {
  Registry& registry;
  FileSystem& files;
  Libraries& libraries;
  Windows& windows;
  ProgramManager& progman;
  UserInterface& ui;
};
