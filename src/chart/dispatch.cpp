#include "chart/dispatch.h"

#include <utility>

AutoValue AutoValue::Text(std::string value) {
  AutoValue v;
  v.type = AutoType::Text;
  v.text = std::move(value);
  return v;
}

AutoValue AutoValue::Utf8Text(std::string value) {
  AutoValue v = Text(std::move(value));
  v.utf8 = true;
  return v;
}

AutoValue AutoValue::I2(std::int16_t value) {
  AutoValue v;
  v.type = AutoType::I2;
  v.integer = value;
  return v;
}

AutoValue AutoValue::I4(std::int32_t value) {
  AutoValue v;
  v.type = AutoType::I4;
  v.integer = value;
  return v;
}

AutoValue AutoValue::R8(double value) {
  AutoValue v;
  v.type = AutoType::R8;
  v.real = value;
  return v;
}

AutoValue AutoValue::Bool(bool value) {
  AutoValue v;
  v.type = AutoType::Bool;
  v.integer = value ? 1 : 0;
  return v;
}

AutoValue AutoValue::Object(DispatchPtr value) {
  AutoValue v;
  v.type = AutoType::Object;
  v.object = std::move(value);
  return v;
}

AutoValue AutoValue::Variant(AutoValue value) {
  value.variant = true;
  return value;
}
