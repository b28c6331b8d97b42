#include "plotwright/value.h"

std::string ObjectName(ObjectId id) {
  switch (id.kind) {
    case ObjectKind::Application: return "application";
    case ObjectKind::Document: return "document" + std::to_string(id.number);
    case ObjectKind::Shape: return "shape" + std::to_string(id.number);
    case ObjectKind::Link: return "link" + std::to_string(id.number);
    case ObjectKind::Line: return "line" + std::to_string(id.number);
    case ObjectKind::LineFormat: return "lineformat" + std::to_string(id.number);
    case ObjectKind::Page: return "page" + std::to_string(id.number);
  }
  return "unknown";
}

Value Value::Bool(bool v) {
  Value r;
  r.type = ValueType::Bool;
  r.flag = v;
  return r;
}

Value Value::I2(std::int16_t v) {
  Value r;
  r.type = ValueType::I2;
  r.integer = v;
  return r;
}

Value Value::I4(std::int32_t v) {
  Value r;
  r.type = ValueType::I4;
  r.integer = v;
  return r;
}

Value Value::R8(double v) {
  Value r;
  r.type = ValueType::R8;
  r.real = v;
  return r;
}

Value Value::Text(std::string v) {
  Value r;
  r.type = ValueType::Text;
  r.text = std::move(v);
  return r;
}

Value Value::Object(ObjectId v) {
  Value r;
  r.type = ValueType::Object;
  r.object = v;
  return r;
}

Value Value::Other() {
  Value r;
  r.type = ValueType::Other;
  return r;
}
