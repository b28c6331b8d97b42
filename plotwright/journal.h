// The journal: one line per call received, "OBJECT DISPID KIND ARGS", ARGS a JSON array.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "plotwright/value.h"

// A text as a JSON string, every character above ASCII escaped (\uXXXX, a pair above U+FFFF),
// so that the line stays ASCII.
std::string JsonText(const std::string& text);
// Integers plainly, reals always with a decimal point or exponent (2.0, 0.1, 1e+300), texts
// and object names quoted, booleans as true/false, anything else null.
std::string JsonValue(const Value& value);
std::string JournalLine(ObjectId target, int dispid, CallKind kind, const std::vector<Value>& args);

// A journal file, appended to and flushed line by line so that a reader never waits.
class JournalFile {
public:
  explicit JournalFile(const std::string& path);
  ~JournalFile();
  JournalFile(const JournalFile&) = delete;
  JournalFile& operator=(const JournalFile&) = delete;

  bool isOpen() const { return file != nullptr; }
  void Write(const std::string& line);

private:
  std::FILE* file;
};
