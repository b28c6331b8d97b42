// In-memory registry, file system, libraries, windows, Program Manager and user interface.
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "retractor/platform_ports.h"

inline std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Win32 reads every text only up to its first NUL, as these fakes do with paths and keys.
inline std::string CText(const std::string& s) { return s.substr(0, s.find('\0')); }

// File system keys: case-insensitive, "/" counts as "\\".
inline std::string PathKey(std::string s) {
  s = Lower(CText(s));
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  return s;
}

inline std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : CText(path)) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

class FakeRegistry : public Registry {
public:
  struct Node {
    std::map<std::string, Node> keys;          // lower-cased name
    std::map<std::string, std::string> values;  // lower-cased name -> data bytes
    bool operator==(const Node&) const = default;
  };

  bool ninexDelete = false;                  // RegDeleteKeyA removes whole trees (9x)
  bool chainsOnly = false;                   // ... but only chains of single subkeys (Wine's 9x mode)
  std::set<std::string> undeletable;         // "root\path" lower-cased: deletion denied
  int defaultValueReads = 0;
  std::vector<std::string> deletions;        // keys deleted, in order

  Node roots[4];

  static int RootIndex(RegistryRoot root) { return static_cast<int>(root); }

  // "Machine\SOFTWARE\x" style addresses for the helpers.
  Node* Find(RegistryRoot root, const std::string& path) {
    Node* node = &roots[RootIndex(root)];
    for (const std::string& part : SplitPath(path)) {
      auto it = node->keys.find(Lower(part));
      if (it == node->keys.end()) return nullptr;
      node = &it->second;
    }
    return node;
  }
  Node& Make(RegistryRoot root, const std::string& path) {
    Node* node = &roots[RootIndex(root)];
    for (const std::string& part : SplitPath(path)) node = &node->keys[Lower(part)];
    return *node;
  }
  void SetString(RegistryRoot root, const std::string& path, const std::string& name, const std::string& text) {
    Make(root, path).values[Lower(name)] = text + std::string(1, '\0');
  }
  void SetDword(RegistryRoot root, const std::string& path, const std::string& name, std::uint32_t v) {
    std::string data(4, '\0');
    std::memcpy(data.data(), &v, 4);
    Make(root, path).values[Lower(name)] = data;
  }
  std::optional<std::uint32_t> Dword(RegistryRoot root, const std::string& path, const std::string& name) {
    Node* node = Find(root, path);
    if (!node) return std::nullopt;
    auto it = node->values.find(Lower(name));
    if (it == node->values.end() || it->second.size() != 4) return std::nullopt;
    std::uint32_t v;
    std::memcpy(&v, it->second.data(), 4);
    return v;
  }
  bool HasValue(RegistryRoot root, const std::string& path, const std::string& name) {
    Node* node = Find(root, path);
    return node && node->values.count(Lower(name));
  }
  bool HasKey(RegistryRoot root, const std::string& path) { return Find(root, path) != nullptr; }
  bool SameAs(const FakeRegistry& other) const {
    return std::equal(std::begin(roots), std::end(roots), std::begin(other.roots));
  }

  // Port.
  RegKey RootKey(RegistryRoot root) override { return static_cast<RegKey>(RootIndex(root) + 1); }

  long OpenKey(RegKey parent, const std::string& subkey, RegistryAccess, RegKey* key) override {
    auto [root, path] = Address(parent);
    std::vector<std::string> full = path;
    for (const std::string& part : SplitPath(subkey)) full.push_back(part);
    if (!Resolve(root, full)) return kErrorFileNotFound;
    handles[nextHandle] = {root, full};
    *key = nextHandle++;
    ++openKeys;
    return kErrorSuccess;
  }
  void CloseKey(RegKey key) override {
    if (handles.erase(key)) --openKeys;
  }
  long QueryValue(RegKey key, const std::string& name, std::size_t maxBytes, std::string* data) override {
    Node* node = NodeOf(key);
    if (!node) return kErrorFileNotFound;
    auto it = node->values.find(Lower(name));
    if (it == node->values.end()) return kErrorFileNotFound;
    if (it->second.size() > maxBytes) return kErrorMoreData;
    *data = it->second;
    return kErrorSuccess;
  }
  long QueryDefaultValue(RegKey parent, const std::string& subkey, std::string* text) override {
    ++defaultValueReads;
    auto [root, path] = Address(parent);
    for (const std::string& part : SplitPath(subkey)) path.push_back(part);
    Node* node = Resolve(root, path);
    if (!node) return kErrorFileNotFound;
    auto it = node->values.find("");
    std::string data = it == node->values.end() ? std::string() : it->second;
    data = data.substr(0, data.find('\0'));
    if (data.size() > kMaxText) return kErrorMoreData;
    *text = data;
    return kErrorSuccess;
  }
  long SetDwordValue(RegKey key, const std::string& name, std::uint32_t value) override {
    Node* node = NodeOf(key);
    if (!node) return kErrorFileNotFound;
    std::string data(4, '\0');
    std::memcpy(data.data(), &value, 4);
    node->values[Lower(name)] = data;
    return kErrorSuccess;
  }
  long DeleteValue(RegKey key, const std::string& name) override {
    Node* node = NodeOf(key);
    if (!node || !node->values.erase(Lower(name))) return kErrorFileNotFound;
    return kErrorSuccess;
  }
  long FlushKey(RegKey key) override {
    ++flushes;
    return NodeOf(key) ? kErrorSuccess : kErrorFileNotFound;
  }
  long EnumValue(RegKey key, std::uint32_t index) override {
    Node* node = NodeOf(key);
    if (!node) return kErrorFileNotFound;
    return index < node->values.size() ? kErrorSuccess : kErrorNoMoreItems;
  }
  long EnumKey(RegKey key, std::uint32_t index, std::string* name) override {
    Node* node = NodeOf(key);
    if (!node) return kErrorFileNotFound;
    if (index >= node->keys.size()) return kErrorNoMoreItems;
    *name = std::next(node->keys.begin(), index)->first;
    ++enumerations;
    return kErrorSuccess;
  }
  long DeleteKey(RegKey parent, const std::string& subkey) override {
    auto [root, path] = Address(parent);
    std::vector<std::string> parts = SplitPath(subkey);
    if (parts.empty()) return 5;
    std::string last = Lower(parts.back());
    parts.pop_back();
    for (const std::string& part : parts) path.push_back(part);
    Node* node = Resolve(root, path);
    if (!node) return kErrorFileNotFound;
    auto it = node->keys.find(last);
    if (it == node->keys.end()) return kErrorFileNotFound;
    std::string address = Lower(RootName(root));
    for (const std::string& part : path) address += "\\" + Lower(part);
    address += "\\" + last;
    if (undeletable.count(address)) return 5;
    if (!it->second.keys.empty() && !ninexDelete) return 5;
    if (ninexDelete && chainsOnly && !IsChain(it->second)) {
      it->second.keys.erase(it->second.keys.begin());  // the first sibling goes, then it fails
      return 5;
    }
    node->keys.erase(it);
    deletions.push_back(address);
    return kErrorSuccess;
  }

  static bool IsChain(const Node& node) {
    for (const Node* n = &node; !n->keys.empty(); n = &n->keys.begin()->second)
      if (n->keys.size() > 1) return false;
    return true;
  }

  int openKeys = 0;
  int flushes = 0;
  long enumerations = 0;

private:
  static const char* RootName(int root) {
    static const char* names[] = {"Root", "Machine", "Cuser", "Users"};
    return names[root];
  }
  std::pair<int, std::vector<std::string>> Address(RegKey key) {
    if (key >= 1 && key <= 4) return {static_cast<int>(key) - 1, {}};
    auto it = handles.find(key);
    if (it == handles.end()) return {-1, {}};
    return it->second;
  }
  Node* Resolve(int root, const std::vector<std::string>& path) {
    if (root < 0) return nullptr;
    Node* node = &roots[root];
    for (const std::string& part : path) {
      auto it = node->keys.find(Lower(part));
      if (it == node->keys.end()) return nullptr;
      node = &it->second;
    }
    return node;
  }
  Node* NodeOf(RegKey key) {
    auto [root, path] = Address(key);
    return Resolve(root, path);
  }

  std::map<RegKey, std::pair<int, std::vector<std::string>>> handles;
  RegKey nextHandle = 100;
};

class StringTextFile : public TextFile {
public:
  explicit StringTextFile(std::string content, std::size_t readSize = 4096)
      : text(std::move(content)), chunk(readSize) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    std::size_t n = std::min({size, chunk, text.size() - position});
    std::memcpy(buffer, text.data() + position, n);
    position += n;
    return n;
  }

private:
  std::string text;
  std::size_t chunk;
  std::size_t position = 0;
};

class FakeFileSystem : public FileSystem {
public:
  struct Entry {
    std::string name;  // as created
    std::string content;
    bool directory = false;
    bool readOnly = false;
    bool operator==(const Entry&) const = default;
  };
  std::map<std::string, Entry> entries;  // lower-cased full path
  std::vector<std::string> removed;
  int openFiles = 0;

  void AddFile(const std::string& path, const std::string& content = "", bool readOnly = false) {
    entries[PathKey(path)] = Entry{path, content, false, readOnly};
  }
  void AddDirectory(const std::string& path) { entries[PathKey(path)] = Entry{path, "", true, false}; }
  bool Exists(const std::string& path) const { return entries.count(PathKey(path)) != 0; }

  class Search : public FileSearch {
  public:
    explicit Search(std::vector<std::string> found) : names(std::move(found)) {}
    bool Next(std::string* name) override {
      if (++index >= names.size()) return false;
      *name = names[index];
      return true;
    }

  private:
    std::vector<std::string> names;
    std::size_t index = 0;
  };

  class File : public TextFile {
  public:
    File(FakeFileSystem& fileSystem, std::string content) : owner(fileSystem), text(std::move(content)) {
      ++owner.openFiles;
    }
    ~File() override { --owner.openFiles; }
    std::size_t Read(char* buffer, std::size_t size) override { return text.Read(buffer, size); }

  private:
    FakeFileSystem& owner;
    StringTextFile text;
  };

  std::unique_ptr<TextFile> OpenForReading(const std::string& path) override {
    auto it = entries.find(PathKey(path));
    if (it == entries.end() || it->second.directory) return nullptr;
    return std::make_unique<File>(*this, it->second.content);
  }
  std::unique_ptr<FileSearch> FindFirst(const std::string& pattern, std::string* name) override {
    std::size_t slash = pattern.find_last_of("\\/");
    std::string directory = PathKey(slash == std::string::npos ? "" : pattern.substr(0, slash));
    std::string wild = Lower(slash == std::string::npos ? pattern : pattern.substr(slash + 1));
    std::vector<std::string> names;
    for (const auto& [key, entry] : entries) {
      std::size_t cut = key.rfind('\\');
      if (cut == std::string::npos || key.substr(0, cut) != directory) continue;
      if (Matches(wild, key.substr(cut + 1))) names.push_back(entry.name.substr(cut + 1));
    }
    if (names.empty()) return nullptr;
    *name = names.front();
    return std::make_unique<Search>(names);
  }
  bool RemoveFile(const std::string& path) override {
    auto it = entries.find(PathKey(path));
    if (it == entries.end() || it->second.directory || it->second.readOnly) return false;
    entries.erase(it);
    removed.push_back(path);
    return true;
  }
  bool RemoveEmptyDirectory(const std::string& path) override {
    std::string key = PathKey(path);
    auto it = entries.find(key);
    if (it == entries.end() || !it->second.directory) return false;
    for (const auto& [other, entry] : entries) {
      if (other.size() > key.size() && other.compare(0, key.size() + 1, key + "\\") == 0) return false;
    }
    entries.erase(it);
    removed.push_back(path);
    return true;
  }

private:
  static bool Matches(const std::string& wild, const std::string& name) {
    if (wild.empty()) return name.empty();
    if (wild[0] == '*') {
      for (std::size_t i = 0; i <= name.size(); ++i) {
        if (Matches(wild.substr(1), name.substr(i))) return true;
      }
      return false;
    }
    if (name.empty()) return false;
    if (wild[0] != '?' && wild[0] != name[0]) return false;
    return Matches(wild.substr(1), name.substr(1));
  }
};

class FakeLibraries : public Libraries {
public:
  std::map<std::string, std::set<std::string>> exports;  // lower-cased path -> functions
  std::vector<std::string> calls;                          // "path!function" or "path!function(argument)"
  std::vector<std::string> loads;
  int loaded = 0;

  class Library : public LoadedLibrary {
  public:
    Library(FakeLibraries& libraries, std::string loadedPath) : owner(libraries), path(std::move(loadedPath)) {
      ++owner.loaded;
    }
    ~Library() override { --owner.loaded; }
    bool Call(const std::string& function, const std::string* argument) override {
      if (!owner.exports[Lower(path)].count(function)) return false;
      owner.calls.push_back(path + "!" + function + (argument ? "(" + *argument + ")" : ""));
      return true;
    }

  private:
    FakeLibraries& owner;
    std::string path;
  };

  std::unique_ptr<LoadedLibrary> Load(const std::string& path) override {
    loads.push_back(path);
    if (!exports.count(Lower(path))) return nullptr;
    return std::make_unique<Library>(*this, path);
  }
};

class FakeWindows : public Windows {
public:
  OsVersion version;
  std::vector<std::pair<std::string, std::string>> windows;  // class, title, in Z order
  int fontChanges = 0;
  int titlesVisited = 0;

  OsVersion GetVersion() override { return version; }
  bool FindWindowOfClass(const std::string& className, std::string* title) override {
    for (const auto& [cls, text] : windows) {
      if (Lower(cls) == Lower(className)) {
        *title = text;
        return true;
      }
    }
    return false;
  }
  void EnumWindowTitles(const std::function<bool(const std::string&)>& visit) override {
    for (const auto& window : windows) {
      ++titlesVisited;
      if (!visit(window.second)) return;
    }
  }
  void BroadcastFontChange() override { ++fontChanges; }
};

class FakeProgramManager : public ProgramManager {
public:
  std::vector<std::string> log;
  std::set<std::string> emptyGroups;
  void DeleteProgmanItem(const std::string& group, const std::string& item) override {
    log.push_back("item " + group + "|" + item);
  }
  bool IsProgmanGroupEmpty(const std::string& group) override {
    log.push_back("query " + group);
    return emptyGroups.count(group) != 0;
  }
  void DeleteProgmanGroup(const std::string& group) override { log.push_back("group " + group); }
};

class FakeUserInterface : public UserInterface {
public:
  struct Message {
    std::string text;
    std::string caption;
    unsigned flags;
  };
  std::vector<Message> messages;
  std::deque<int> messageAnswers;  // default kIdYes
  std::vector<std::string> questions;
  std::deque<int> sharedAnswers;  // default kIdYes
  std::vector<std::string> progress;  // "open Caption", "text ...", "setstep N", "step", "top", "close"
  int steps = 0;

  std::string LoadText(int id) override {
    switch (id) {
      case 1: return "The Korvane Uninstaller";
      case 2: return "Deleting files";
      case 3: return "Deleting registry keys";
      case 4: return "Cleaning up directories";
      case 5: return "Deleting shared components";
      case 6: return "Running an external uninstall process";
      case 59142: return "%s is currently running. Please close the application and run the Korvane Uninstaller again.";
      case 59145: return "Please run the Korvane Uninstaller with the name of a manifest file on the command line.";
      case 59146: return "Are you sure you want to remove the selected program?";
      case 59147: return "Are you sure you want to delete the shared file \"%s\" from your system?";
    }
    return std::string();
  }
  int ShowMessage(const std::string& text, const std::string& caption, unsigned flags) override {
    messages.push_back({text, caption, flags});
    if (messageAnswers.empty()) return kIdYes;
    int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }
  int AskSharedFile(const std::string& text, const std::string&) override {
    questions.push_back(text);
    if (sharedAnswers.empty()) return kIdYes;
    int answer = sharedAnswers.front();
    sharedAnswers.pop_front();
    return answer;
  }

  class Window : public ProgressWindow {
  public:
    explicit Window(FakeUserInterface& ui) : owner(ui) {}
    ~Window() override { owner.progress.push_back("close"); }
    void ShowText(const std::string& text) override { owner.progress.push_back("text " + text); }
    void SetStep(int step) override { owner.progress.push_back("setstep " + std::to_string(step)); }
    void Step() override { ++owner.steps; }
    void BringToTop() override { owner.progress.push_back("top"); }

  private:
    FakeUserInterface& owner;
  };
  std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override {
    progress.push_back("open " + caption);
    return std::make_unique<Window>(*this);
  }
};

// Everything a run touches, wired together.
struct FakePlatform {
  FakeRegistry registry;
  FakeFileSystem files;
  FakeLibraries libraries;
  FakeWindows windows;
  FakeProgramManager progman;
  FakeUserInterface ui;
  Platform platform{registry, files, libraries, windows, progman, ui};
};
