// Automation values as the server sees them, and the names of its objects.
#pragma once

#include <compare>
#include <cstdint>
#include <string>

// A property read, a property write or a method call.
enum class CallKind { Get, Put, Call };

enum class ObjectKind { Application, Document, Shape, Link, Line, LineFormat, Page };

// An object of one application: its kind and creation number. A link shares its shape's
// number, a line format its line's and a page its document's.
struct ObjectId {
  ObjectKind kind = ObjectKind::Application;
  int number = 0;
  auto operator<=>(const ObjectId&) const = default;
};

// "application", "document1", "shape7", "link7", "line3", "lineformat3", "page1".
std::string ObjectName(ObjectId id);

// Other: a value of a type the server does not take (or an object of another server).
enum class ValueType { Empty, Bool, I2, I4, R8, Text, Object, Other };

struct Value {
  ValueType type = ValueType::Empty;
  bool flag = false;
  std::int32_t integer = 0;
  double real = 0.0;
  std::string text;  // UTF-8 (plotwright/utf8.h)
  ObjectId object;

  static Value Bool(bool v);
  static Value I2(std::int16_t v);
  static Value I4(std::int32_t v);
  static Value R8(double v);
  static Value Text(std::string v);
  static Value Object(ObjectId v);
  static Value Other();

  bool IsNumber() const { return type == ValueType::I2 || type == ValueType::I4 || type == ValueType::R8; }
  double Number() const { return type == ValueType::R8 ? real : integer; }
};
