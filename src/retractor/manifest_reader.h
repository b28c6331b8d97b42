// Reads a manifest the way formatted input reads it: "%d" for the count, "%s" for
// command words, a line read for line operands, " %%%[^%]%% %s" for variable operands.
#pragma once

#include <optional>
#include <string>

#include "retractor/platform_ports.h"

struct VariableOperand {
  std::string name;
  std::string path;
};

// How much of the line a variable operand's path takes.
enum class PathExtent { RestOfLine, OneWord };

class ManifestReader {
public:
  explicit ManifestReader(TextFile& source) : file(source) {}

  // False when the first item is no integer; counts beyond int saturate.
  bool ReadCount(int* count);
  // Skips white space and reads one word; false at the end of the file.
  // The word is read whole; only its first character is kept.
  bool ReadCommandWord(char* first);
  // The rest of the line after the separator. Nullopt when nothing follows the command
  // word, or when the line is longer than 259 characters or holds a NUL (skipped whole).
  std::optional<std::string> ReadLineOperand();
  // %NAME% and path. Nullopt when malformed, overlong or holding a NUL; the operand's
  // extent is consumed then (see ReadVariableOperand's comment in the .cpp).
  std::optional<VariableOperand> ReadVariableOperand(PathExtent extent);
  // Consumes up to and including the next line feed.
  void SkipRestOfLine();

private:
  int Get();
  void Unget(int c);
  // Skips white space; true when a line feed was among it.
  bool SkipWhiteSpace();

  TextFile& file;
  char buffer[4096];
  std::size_t position = 0;
  std::size_t length = 0;
  bool atEnd = false;
  int pushedBack = -2;
};
