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

#include "chart/chart_dispids.h"
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

inline std::string Key(const char* kind, int dispid, const char* call) {
  return std::string(kind) + " " + std::to_string(dispid) + " " + call;
}

// The application's interface, as the chart run may use it.
inline const std::map<std::string, Signature>& Interface() {
  static const std::map<std::string, Signature> table = {
      {Key("application", appid::kVersion, "get"), {{}, kText}},
      {Key("application", appid::kUserControl, "put"), {{{kBool}}}},
      {Key("application", appid::kUserControl, "get"), {{}, kBool}},
      {Key("application", appid::kNewDocument, "call"), {{}, kObject}},
      {Key("application", appid::kRedraw, "put"), {{{kBool}}}},
      {Key("application", appid::kColor, "call"), {{{kI2}, {kI2}, {kI2}}, kI4}},
      {Key("application", appid::kMainWindow, "get"), {{}, kI4}},
      {Key("application", appid::kEndNormal, "call"), {}},
      {Key("application", appid::kEndAbnormal, "call"), {}},
      {Key("document", docid::kPalette, "put"), {{{kText}}}},
      {Key("document", docid::kPaletteMode, "put"), {{{kI2}}}},
      {Key("document", docid::kLayout, "put"), {{{kI2}}}},
      {Key("document", docid::kDropX, "put"), {{{kR8}}}},
      {Key("document", docid::kDropY, "put"), {{{kR8}}}},
      {Key("document", docid::kDropX, "get"), {{}, kR8}},
      {Key("document", docid::kDropY, "get"), {{}, kR8}},
      {Key("document", docid::kDrop, "call"), {{{kText, true}}, kObject}},
      {Key("document", docid::kConnect, "call"), {{{kObject}, {kObject}, {kR8, true}, {kR8, true}}, kObject}},
      {Key("document", docid::kPage, "get"), {{}, kObject}},
      {Key("document", docid::kArrange, "call"), {{{kI2}}}},
      {Key("document", docid::kResize, "call"), {{}, kBool}},
      {Key("document", docid::kCenter, "call"), {{{kI2}, {kI2, true}, {kR8}, {kR8}}, kBool}},
      {Key("document", docid::kLastStep, "put"), {{{kI2}}}},
      {Key("shape", shapeid::kPlaced, "get"), {{}, kBool}},
      {Key("shape", shapeid::kFill, "put"), {{{kI4}}}},
      {Key("shape", shapeid::kText, "put"), {{{kText}}}},
      {Key("shape", shapeid::kLink, "get"), {{}, kObject}},
      {Key("shape", shapeid::kChildX, "put"), {{{kR8}}}},
      {Key("shape", shapeid::kChildY, "put"), {{{kR8}}}},
      {Key("link", linkid::kAddress, "put"), {{{kText}}}},
      {Key("link", linkid::kCommand, "put"), {{{kText}}}},
      {Key("line", lineid::kRoute, "call"), {}},
      {Key("line", lineid::kFormat, "get"), {{}, kObject}},
      {Key("lineformat", formatid::kStyle, "put"), {{{kI2}}}},
      {Key("lineformat", formatid::kEnd, "put"), {{{kI2}}}},
      {Key("page", pageid::kWidth, "get"), {{}, kR8}},
      {Key("page", pageid::kPagesAcross, "put"), {{{kI2}}}},
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
  if (kind == "application" && dispid == appid::kVersion) value = AutoValue::Text(app.version);
  else if (kind == "application" && dispid == appid::kMainWindow) value = AutoValue::I4(4242);
  else if (kind == "document" && dispid == docid::kPage) value = AutoValue::Object(app.New("page"));
  else if (kind == "shape" && dispid == shapeid::kPlaced) value = AutoValue::Bool(app.unplacedShape != std::stoi(name.substr(5)));
  else if (kind == "shape" && dispid == shapeid::kLink) value = AutoValue::Object(link = app.New("link"));
  else if (kind == "line" && dispid == lineid::kFormat) value = AutoValue::Object(app.New("lineformat"));
  else if (kind == "page" && dispid == pageid::kWidth) value = AutoValue::R8(app.pageWidth);
  else if (properties.count(dispid)) value = properties[dispid];
  else value.type = type;
  return {true, value};
}

inline bool FakeObject::Put(int dispid, const AutoValue& value) {
  if (!app.Record(*this, dispid, "put", {value}, AutoType::Empty)) return false;
  properties[dispid] = value;
  if (kind == "shape" && dispid == shapeid::kText) text = value.text;
  if (kind == "shape" && dispid == shapeid::kFill) fill = app.colors.at(size_t(value.integer));
  return true;
}

inline DispatchResult FakeObject::Call(int dispid, const std::vector<AutoValue>& args, AutoType resultType) {
  if (!app.Record(*this, dispid, "call", args, resultType)) return {};
  AutoValue value;
  value.type = resultType;
  if (kind == "application" && dispid == appid::kNewDocument) {
    value = AutoValue::Object(app.New("document"));
  } else if (kind == "application" && dispid == appid::kColor) {
    app.colors.push_back({args[0].integer, args[1].integer, args[2].integer});
    value = AutoValue::I4(std::int32_t(app.colors.size() - 1));
  } else if (kind == "document" && dispid == docid::kDrop) {
    auto shape = app.New("shape");
    shape->master = args[0].text;
    shape->x = properties[6].real;
    shape->y = properties[7].real;
    app.shapes.push_back(shape);
    value = AutoValue::Object(shape);
  } else if (kind == "document" && dispid == docid::kConnect) {
    // Rows and columns connect (parent, child); the org chart connects (child, parent).
    auto& first = static_cast<FakeObject&>(*args[0].object);
    auto& second = static_cast<FakeObject&>(*args[1].object);
    bool childFirst = args[2].real == 0.0 && args[3].real == 2.0;
    (childFirst ? first : second).connectedTo = childFirst ? &second : &first;
    value = AutoValue::Object(app.New("line"));
  }
  return {true, value};
}
