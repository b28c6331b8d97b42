// A recording flowchart application for the chart run's tests. Every call is checked against
// the application's interface (object kind, DISPID, kind of call, argument and result types)
// and journaled as "OBJECT DISPID KIND ARGS", objects named by kind and creation number.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chart/chart_host.h"
#include "chart/dispatch.h"
#include "common/message_port.h"

class FakePlotwright;

struct FakeObject : DispatchObject {
  FakePlotwright& app;
  std::string kind;
  std::string name;
  std::map<int, AutoValue> properties;
  // Shapes: where they were dropped and what they became.
  std::string master;
  double x = 0;
  double y = 0;
  std::string text;
  std::array<int, 3> fill{-1, -1, -1};
  DispatchPtr link;
  FakeObject* connectedTo = nullptr;  // the shape a shape was connected to, for its parent

  FakeObject(FakePlotwright& owner, std::string objectKind, int number)
      : app(owner), kind(std::move(objectKind)), name(kind + std::to_string(number)) {}

  DispatchResult Get(int dispid, AutoType type) override;
  bool Put(int dispid, const AutoValue& value) override;
  DispatchResult Call(int dispid, const std::vector<AutoValue>& args, AutoType resultType) override;
};

class FakePlotwright {
public:
  std::vector<std::string> journal;
  std::string version = "7.0";
  double pageWidth = 8.5;
  int unplacedShape = 0;    // number of the shape that reads FALSE in property 24
  std::string failOn;       // a journal line that starts with this reports an error
  bool keepJournal = true;  // off: no journal, no checks, no failures (for big trees)
  std::vector<std::shared_ptr<FakeObject>> shapes;  // in drop order
  std::vector<std::array<int, 3>> colors;         // method 63's arguments; its result indexes them
  std::shared_ptr<FakeObject> application;

  FakePlotwright() { application = New("application"); }

  std::shared_ptr<FakeObject> New(const std::string& kind) {
    auto object = std::make_shared<FakeObject>(*this, kind, ++created[kind]);
    if (kind == "application") object->name = "application";
    return object;
  }

  // Journals the call and checks it; false when the call is to report an error.
  bool Record(FakeObject& object, int dispid, const char* kind, const std::vector<AutoValue>& args, AutoType result);

  // The journal from the first line that starts with `from` on.
  std::vector<std::string> JournalFrom(const std::string& from) const {
    for (size_t i = 0; i < journal.size(); ++i)
      if (journal[i].rfind(from, 0) == 0) return {journal.begin() + long(i), journal.end()};
    return {};
  }

private:
  std::map<std::string, int> created;
};

struct FakeChartHost : ChartHost {
  struct ProcessEnded {
    int code;
  };
  FakePlotwright& app;
  bool launchFails = false;
  explicit FakeChartHost(FakePlotwright& plotwright) : app(plotwright) {}
  DispatchPtr CreateApplication(const std::string& progId) override {
    app.journal.push_back("create " + progId);
    return launchFails ? nullptr : app.application;
  }
  void RaiseWindow(std::int32_t window) override { app.journal.push_back("raise " + std::to_string(window)); }
  void EndProcess(int exitCode) override { throw ProcessEnded{exitCode}; }
  std::string BrowserCommand() override { return "\"C:\\web\\browse.exe\" "; }
};

struct FakeProgress : ChartProgress {
  int steps = 0;
  void StepProgress() override { ++steps; }
};

struct RecordingMessages : MessagePort {
  std::vector<int> shown;
  void ShowMessage(int stringId) override { shown.push_back(stringId); }
};

namespace fake_plotwright_detail {

struct Arg {
  AutoType type;
  bool variant = false;
};
struct Signature {
  std::vector<Arg> args;
  AutoType result = AutoType::Empty;
};

constexpr AutoType kText = AutoType::Text, kI2 = AutoType::I2, kI4 = AutoType::I4, kR8 = AutoType::R8,
                   kBool = AutoType::Bool, kObject = AutoType::Object, kNone = AutoType::Empty;

// The application's interface, as the chart run may use it.
inline const std::map<std::string, Signature>& Interface() {
  static const std::map<std::string, Signature> table = {
      {"application 30 get", {{}, kText}},
      {"application 31 put", {{{kBool}}}},
      {"application 31 get", {{}, kBool}},
      {"application 67 call", {{}, kObject}},
      {"application 25 put", {{{kBool}}}},
      {"application 63 call", {{{kI2}, {kI2}, {kI2}}, kI4}},
      {"application 33 get", {{}, kI4}},
      {"application 64 call", {}},
      {"application 65 call", {}},
      {"document 4 put", {{{kText}}}},
      {"document 53 put", {{{kI2}}}},
      {"document 2 put", {{{kI2}}}},
      {"document 6 put", {{{kR8}}}},
      {"document 7 put", {{{kR8}}}},
      {"document 6 get", {{}, kR8}},
      {"document 7 get", {{}, kR8}},
      {"document 71 call", {{{kText, true}}, kObject}},
      {"document 69 call", {{{kObject}, {kObject}, {kR8, true}, {kR8, true}}, kObject}},
      {"document 37 get", {{}, kObject}},
      {"document 89 call", {{{kI2}}}},
      {"document 66 call", {{}, kBool}},
      {"document 81 call", {{{kI2}, {kI2, true}, {kR8}, {kR8}}, kBool}},
      {"document 55 put", {{{kI2}}}},
      {"shape 24 get", {{}, kBool}},
      {"shape 5 put", {{{kI4}}}},
      {"shape 17 put", {{{kText}}}},
      {"shape 15 get", {{}, kObject}},
      {"shape 3 put", {{{kR8}}}},
      {"shape 4 put", {{{kR8}}}},
      {"link 15 put", {{{kText}}}},
      {"link 9 put", {{{kText}}}},
      {"line 34 call", {}},
      {"line 10 get", {{}, kObject}},
      {"lineformat 11 put", {{{kI2}}}},
      {"lineformat 5 put", {{{kI2}}}},
      {"page 9 get", {{}, kR8}},
      {"page 15 put", {{{kI2}}}},
  };
  return table;
}

inline std::string Format(const AutoValue& v) {
  char number[64];
  switch (v.type) {
    case AutoType::Text: {
      std::string quoted = "\"";
      for (char c : v.text) quoted += (c == '"' || c == '\\') ? std::string{'\\', c} : std::string{c};
      return quoted + "\"";
    }
    case AutoType::I2:
    case AutoType::I4: return std::to_string(v.integer);
    case AutoType::R8: std::snprintf(number, sizeof number, "%g", v.real); return number;
    case AutoType::Bool: return v.integer ? "true" : "false";
    case AutoType::Object: return v.object ? static_cast<FakeObject&>(*v.object).name : "null";
    case AutoType::Empty: break;
  }
  return "empty";
}

}  // namespace fake_plotwright_detail

inline bool FakePlotwright::Record(FakeObject& object, int dispid, const char* kind, const std::vector<AutoValue>& args,
                                   AutoType result) {
  using namespace fake_plotwright_detail;
  if (!keepJournal) return true;  // big trees: neither journal nor checks
  std::string line = object.name + " " + std::to_string(dispid) + " " + kind + " [";
  for (size_t i = 0; i < args.size(); ++i) line += (i ? "," : "") + Format(args[i]);
  line += "]";
  journal.push_back(line);
  std::string key = object.kind + " " + std::to_string(dispid) + " " + kind;
  auto found = Interface().find(key);
  if (found == Interface().end()) {
    ADD_FAILURE() << "not in the interface: " << line;
    return false;
  }
  const Signature& signature = found->second;
  bool typesMatch = signature.args.size() == args.size() && signature.result == result;
  for (size_t i = 0; typesMatch && i < args.size(); ++i)
    typesMatch = args[i].type == signature.args[i].type && args[i].variant == signature.args[i].variant;
  EXPECT_TRUE(typesMatch) << "argument or result types differ from the interface: " << line;
  return failOn.empty() || line.rfind(failOn, 0) != 0;
}

inline DispatchResult FakeObject::Get(int dispid, AutoType type) {
  if (!app.Record(*this, dispid, "get", {}, type)) return {};
  AutoValue value;
  if (kind == "application" && dispid == 30) value = AutoValue::Text(app.version);
  else if (kind == "application" && dispid == 33) value = AutoValue::I4(4242);
  else if (kind == "document" && dispid == 37) value = AutoValue::Object(app.New("page"));
  else if (kind == "shape" && dispid == 24) value = AutoValue::Bool(app.unplacedShape != std::stoi(name.substr(5)));
  else if (kind == "shape" && dispid == 15) value = AutoValue::Object(link = app.New("link"));
  else if (kind == "line" && dispid == 10) value = AutoValue::Object(app.New("lineformat"));
  else if (kind == "page" && dispid == 9) value = AutoValue::R8(app.pageWidth);
  else if (properties.count(dispid)) value = properties[dispid];
  else value.type = type;
  return {true, value};
}

inline bool FakeObject::Put(int dispid, const AutoValue& value) {
  if (!app.Record(*this, dispid, "put", {value}, AutoType::Empty)) return false;
  properties[dispid] = value;
  if (kind == "shape" && dispid == 17) text = value.text;
  if (kind == "shape" && dispid == 5) fill = app.colors.at(size_t(value.integer));
  return true;
}

inline DispatchResult FakeObject::Call(int dispid, const std::vector<AutoValue>& args, AutoType resultType) {
  if (!app.Record(*this, dispid, "call", args, resultType)) return {};
  AutoValue value;
  value.type = resultType;
  if (kind == "application" && dispid == 67) {
    value = AutoValue::Object(app.New("document"));
  } else if (kind == "application" && dispid == 63) {
    app.colors.push_back({args[0].integer, args[1].integer, args[2].integer});
    value = AutoValue::I4(std::int32_t(app.colors.size() - 1));
  } else if (kind == "document" && dispid == 71) {
    auto shape = app.New("shape");
    shape->master = args[0].text;
    shape->x = properties[6].real;
    shape->y = properties[7].real;
    app.shapes.push_back(shape);
    value = AutoValue::Object(shape);
  } else if (kind == "document" && dispid == 69) {
    // Rows and columns connect (parent, child); the org chart connects (child, parent).
    auto& first = static_cast<FakeObject&>(*args[0].object);
    auto& second = static_cast<FakeObject&>(*args[1].object);
    bool childFirst = args[2].real == 0.0 && args[3].real == 2.0;
    (childFirst ? first : second).connectedTo = childFirst ? &second : &first;
    value = AutoValue::Object(app.New("line"));
  }
  return {true, value};
}
