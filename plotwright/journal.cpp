#include "plotwright/journal.h"

#include <charconv>
#include <cmath>

#include "plotwright/utf8.h"

std::string JsonText(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (char16_t unit : Utf16Of(text)) {
    switch (unit) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (unit < 0x20 || unit >= 0x7F) {
          out += "\\u";
          for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 15];
        } else {
          out += static_cast<char>(unit);
        }
    }
  }
  return out + "\"";
}

std::string JsonValue(const Value& value) {
  switch (value.type) {
    case ValueType::Bool: return value.flag ? "true" : "false";
    case ValueType::I2:
    case ValueType::I4: return std::to_string(value.integer);
    case ValueType::R8: {
      if (!std::isfinite(value.real)) return "null";
      char buffer[64];
      auto end = std::to_chars(buffer, buffer + sizeof buffer, value.real).ptr;
      std::string text(buffer, end);
      if (text.find_first_of(".e") == std::string::npos) text += ".0";
      return text;
    }
    case ValueType::Text: return JsonText(value.text);
    case ValueType::Object: return JsonText(ObjectName(value.object));
    case ValueType::Empty:
    case ValueType::Other: break;
  }
  return "null";
}

std::string JournalLine(ObjectId target, int dispid, CallKind kind, const std::vector<Value>& args) {
  std::string line = ObjectName(target) + " " + std::to_string(dispid) + " ";
  line += kind == CallKind::Get ? "get" : kind == CallKind::Put ? "put" : "call";
  line += " [";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i) line += ", ";
    line += JsonValue(args[i]);
  }
  return line + "]";
}

JournalFile::JournalFile(const std::string& path) : file(std::fopen(path.c_str(), "ab")) {}

JournalFile::~JournalFile() {
  if (file) std::fclose(file);
}

void JournalFile::Write(const std::string& line) {
  if (!file) return;
  std::fputs(line.c_str(), file);
  std::fputs("\r\n", file);
  std::fflush(file);
}
