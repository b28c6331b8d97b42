#include "retractor/manifest_reader.h"

#include <climits>

namespace {
constexpr int kEnd = -1;
constexpr int kNothingPushed = -2;

// Win32 would read a text only up to a NUL byte: a subkey "\0x" would name the whole root.
bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

bool IsFormatSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

void ManifestReader::Unget(int c) { pushedBack = c; }

int ManifestReader::Get() {
  if (pushedBack != kNothingPushed) {
    int c = pushedBack;
    pushedBack = kNothingPushed;
    return c;
  }
  auto raw = [this]() -> int {
    if (position == length) {
      if (atEnd) return kEnd;
      length = file.Read(buffer, sizeof buffer);
      position = 0;
      if (length == 0) {
        atEnd = true;
        return kEnd;
      }
    }
    return static_cast<unsigned char>(buffer[position++]);
  };
  int c = raw();
  if (c != '\r') return c;
  // Text mode: a carriage return before a line feed is dropped.
  int next = raw();
  if (next == '\n') return '\n';
  if (next != kEnd) --position;  // raw() just read it from the buffer, so it is still there
  return c;
}

bool ManifestReader::SkipWhiteSpace() {
  bool crossedLine = false;
  int c;
  while ((c = Get()) != kEnd && IsFormatSpace(c)) {
    if (c == '\n') crossedLine = true;
  }
  Unget(c);
  return crossedLine;
}

void ManifestReader::SkipRestOfLine() {
  int c;
  while ((c = Get()) != kEnd && c != '\n') {
  }
}

bool ManifestReader::ReadCount(int* count) {
  SkipWhiteSpace();
  int c = Get();
  bool negative = false;
  if (c == '-' || c == '+') {
    negative = c == '-';
    c = Get();
  }
  if (c < '0' || c > '9') {
    Unget(c);
    return false;
  }
  long long value = 0;
  for (; c >= '0' && c <= '9'; c = Get()) {
    if (value <= INT_MAX) value = value * 10 + (c - '0');
  }
  Unget(c);
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  *count = static_cast<int>(value);
  return true;
}

bool ManifestReader::ReadCommandWord(char* first) {
  SkipWhiteSpace();
  int c = Get();
  if (c == kEnd) return false;
  *first = static_cast<char>(c);
  while ((c = Get()) != kEnd && !IsFormatSpace(c)) {
  }
  Unget(c);
  return true;
}

std::optional<std::string> ManifestReader::ReadLineOperand() {
  std::string line;
  bool overlong = false;
  int c;
  while ((c = Get()) != kEnd && c != '\n') {
    if (line.size() < kMaxText) {
      line.push_back(static_cast<char>(c));
    } else {
      overlong = true;
    }
  }
  if (overlong || line.empty() || HasNul(line)) return std::nullopt;
  return line.substr(1);  // the separator after the command word
}

// Formatted input would stop at the first mismatch and leave the rest of the line to be
// read as command words. Instead a malformed operand on the command's own line takes that
// line with it; only when the operand had already run onto a later line does reading go
// on at the offending character. A NAME never spans a line feed.
std::optional<VariableOperand> ManifestReader::ReadVariableOperand(PathExtent extent) {
  bool crossedLine = SkipWhiteSpace();
  auto fail = [&](int c) -> std::optional<VariableOperand> {
    if (c == '\n' || c == kEnd) return std::nullopt;
    if (crossedLine) {
      Unget(c);
    } else {
      SkipRestOfLine();
    }
    return std::nullopt;
  };

  int c = Get();
  if (c != '%') return fail(c);

  VariableOperand operand;
  while ((c = Get()) != kEnd && c != '%' && c != '\n') {
    if (operand.name.size() == kMaxText) return fail(c);
    operand.name.push_back(static_cast<char>(c));
  }
  if (c != '%' || operand.name.empty()) return fail(c);

  SkipWhiteSpace();
  bool overlong = false;
  auto append = [&](int ch) {
    if (operand.path.size() == kMaxText) {
      overlong = true;
    } else {
      operand.path.push_back(static_cast<char>(ch));
    }
  };
  while ((c = Get()) != kEnd && !IsFormatSpace(c)) append(c);
  if (operand.path.empty()) return std::nullopt;  // end of the file

  // One word takes one further character with it (normally the line feed), as it already
  // has; otherwise whatever follows the word up to the line feed belongs to the path.
  for (; extent == PathExtent::RestOfLine && c != kEnd && c != '\n'; c = Get()) append(c);
  if (overlong || HasNul(operand.name) || HasNul(operand.path)) return std::nullopt;
  return operand;
}
