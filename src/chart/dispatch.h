// An automation object called late-bound by dispatch identifier: property get, property put
// and method call with automation values. The flowchart application and every object it
// hands out (document, shapes, links, lines, line formats, page) are reached through it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class DispatchObject;
using DispatchPtr = std::shared_ptr<DispatchObject>;

enum class AutoType { Empty, Text, I2, I4, R8, Bool, Object };

struct AutoValue {
  AutoType type = AutoType::Empty;
  // The callee declares the parameter as VARIANT: the value is handed over as it is,
  // the callee takes its type from the value.
  bool variant = false;
  std::string text;
  // The text is UTF-8 rather than the ANSI code page that every other text is in.
  bool utf8 = false;
  std::int32_t integer = 0;  // I2, I4 and Bool (0 or 1)
  double real = 0.0;
  DispatchPtr object;

  static AutoValue Text(std::string value);
  static AutoValue Utf8Text(std::string value);
  static AutoValue I2(std::int16_t value);
  static AutoValue I4(std::int32_t value);
  static AutoValue R8(double value);
  static AutoValue Bool(bool value);
  static AutoValue Object(DispatchPtr value);
  static AutoValue Variant(AutoValue value);
};

// ok is false when the call reported an error; value then is Empty.
struct DispatchResult {
  bool ok = false;
  AutoValue value;
};

class DispatchObject {
public:
  virtual ~DispatchObject() = default;
  // Reads a property, converted to `type`; a value that does not convert is an error.
  virtual DispatchResult Get(int dispid, AutoType type) = 0;
  virtual bool Put(int dispid, const AutoValue& value) = 0;
  // Arguments in the callee's order; the result converted to `resultType` (Empty: none wanted).
  virtual DispatchResult Call(int dispid, const std::vector<AutoValue>& args, AutoType resultType) = 0;
};
