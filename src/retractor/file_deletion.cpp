#include "retractor/file_deletion.h"

std::string PatternDirectory(const std::string& pattern) {
  std::size_t slash = pattern.find_last_of("\\/");
  if (slash != std::string::npos) return pattern.substr(0, slash + 1);
  if (pattern.size() >= 2 && pattern[1] == ':') return pattern.substr(0, 2);
  return std::string();
}

void DeleteMatchingFiles(const std::string& pattern, FileSystem& files) {
  std::string name;
  std::unique_ptr<FileSearch> search = files.FindFirst(pattern, &name);
  if (!search) return;
  std::string directory = PatternDirectory(pattern);
  do {
    std::string path = directory + name;
    if (path.size() > kMaxText || !files.RemoveFile(path)) return;
  } while (search->Next(&name));
}
