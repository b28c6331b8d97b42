#include "retractor/platform_win32.h"

namespace {

// Opened with the sharing of the C library's fopen: others may read and write, not delete.
class TextFileWin32 : public TextFile {
public:
  explicit TextFileWin32(HANDLE opened) : file(opened) {}
  ~TextFileWin32() override { CloseHandle(file); }
  std::size_t Read(char* buffer, std::size_t size) override {
    DWORD read = 0;
    if (!ReadFile(file, buffer, static_cast<DWORD>(size), &read, nullptr)) return 0;
    return read;
  }

private:
  HANDLE file;
};

class FileSearchWin32 : public FileSearch {
public:
  explicit FileSearchWin32(HANDLE started) : search(started) {}
  ~FileSearchWin32() override { FindClose(search); }
  bool Next(std::string* name) override {
    WIN32_FIND_DATAA found;
    if (!FindNextFileA(search, &found)) return false;
    *name = found.cFileName;
    return true;
  }

private:
  HANDLE search;
};

}  // namespace

std::unique_ptr<TextFile> FileSystemWin32::OpenForReading(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<TextFileWin32>(file);
}

std::unique_ptr<FileSearch> FileSystemWin32::FindFirst(const std::string& pattern, std::string* name) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return nullptr;
  *name = found.cFileName;
  return std::make_unique<FileSearchWin32>(search);
}

bool FileSystemWin32::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool FileSystemWin32::RemoveEmptyDirectory(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) != FALSE;
}
