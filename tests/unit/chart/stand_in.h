// The chart run's tests drive the stand-in's own portable application: every call goes to its
// dispatch table, which answers as the automation server does and journals the call as the
// server's journal does. What the stand-in cannot check is added here: the exact automation
// type of every argument and result, a call made to fail on purpose, and a page of any width.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chart/chart_host.h"
#include "chart/dispatch.h"
#include "common/message_port.h"
#include "plotwright/automation.h"
#include "plotwright/dispatch_ids.h"
#include "plotwright/journal.h"
#include "plotwright/utf8.h"

class StandIn : public ApplicationEvents {
public:
  std::vector<std::string> journal;  // the stand-in's lines, and "create"/"raise" from the host
  std::string failOn;                // a call whose journal line starts with this reports an error
  std::optional<double> pageWidth;   // the page width read, instead of the stand-in's
  std::function<void()> changed;     // after each call that changed the drawing, as the window hears

  explicit StandIn(const std::string& version = "7.0") { Start(version); }
  // A new application of that version; without a journal, calls are neither journaled nor
  // checked (for big trees).
  void Start(const std::string& version, bool journaled = true) {
    keepJournal = journaled;
    app = std::make_unique<Application>(ApplicationSettings{version, 0}, journaled ? this : nullptr);
    app->SetMainWindow(4242);
  }
  Application& application() { return *app; }
  DispatchPtr Object(ObjectId id);

  // Sends one call as the automation server would; false when it reports an error.
  bool Invoke(ObjectId target, int dispid, CallKind kind, const std::vector<AutoValue>& args, AutoType result,
              AutoValue* out);
  // Whether the last text put into this member crossed as UTF-8 (or in the ANSI code page).
  bool SentAsUtf8(ObjectId target, int dispid) const { return utf8Puts.at({target, dispid}); }

  // The journal from the first line that starts with `from` on.
  std::vector<std::string> JournalFrom(const std::string& from) const {
    for (size_t i = 0; i < journal.size(); ++i)
      if (journal[i].rfind(from, 0) == 0) return {journal.begin() + long(i), journal.end()};
    return {};
  }
  // Shapes in drop order, as "NAME (X,Y)" with "<PARENT" once connected to its parent.
  std::vector<std::string> Placements() const;
  // Each shape's fill components; {-1, -1, -1} for none.
  std::vector<std::array<int, 3>> Fills() const;
  const Shape& shape(int number) const { return app->shape(number); }
  int shapeCount() const { return app->latestDocument() ? int(app->latestDocument()->shapes.size()) : 0; }

private:
  void OnCall(const std::string& line) override { journal.push_back(line); }
  void OnChanged() override { if (changed) changed(); }
  void OnRunEnded(bool) override {}
  void CheckTypes(ObjectId target, int dispid, CallKind kind, const std::vector<AutoValue>& args, AutoType result);

  bool keepJournal = true;
  std::unique_ptr<Application> app;
  std::map<std::pair<ObjectId, int>, bool> utf8Puts;
};

struct StandInObject : DispatchObject {
  StandIn& standIn;
  ObjectId id;
  StandInObject(StandIn& owner, ObjectId object) : standIn(owner), id(object) {}

  DispatchResult Get(int dispid, AutoType type) override {
    DispatchResult r;
    r.ok = standIn.Invoke(id, dispid, CallKind::Get, {}, type, &r.value);
    return r;
  }
  bool Put(int dispid, const AutoValue& value) override {
    return standIn.Invoke(id, dispid, CallKind::Put, {value}, AutoType::Empty, nullptr);
  }
  DispatchResult Call(int dispid, const std::vector<AutoValue>& args, AutoType resultType) override {
    DispatchResult r;
    r.ok = standIn.Invoke(id, dispid, CallKind::Call, args, resultType, &r.value);
    return r;
  }
};

inline DispatchPtr StandIn::Object(ObjectId id) { return std::make_shared<StandInObject>(*this, id); }

struct StandInHost : ChartHost {
  struct ProcessEnded {
    int code;
  };
  StandIn& standIn;
  bool launchFails = false;
  explicit StandInHost(StandIn& plotwright) : standIn(plotwright) {}
  DispatchPtr CreateApplication(const std::string& progId) override {
    standIn.journal.push_back("create " + progId);
    return launchFails ? nullptr : standIn.Object({ObjectKind::Application, 0});
  }
  void RaiseWindow(std::int32_t window) override { standIn.journal.push_back("raise " + std::to_string(window)); }
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

namespace stand_in_detail {

struct Arg {
  AutoType type;
  bool variant = false;
};
struct Signature {
  std::vector<Arg> args;
  AutoType result = AutoType::Empty;
};

constexpr AutoType kText = AutoType::Text, kI2 = AutoType::I2, kI4 = AutoType::I4, kR8 = AutoType::R8,
                   kBool = AutoType::Bool, kObject = AutoType::Object;
using K = ObjectKind;
using C = CallKind;

// The automation types of each member, which the stand-in takes more loosely (any number for
// an integer, any value for a VARIANT).
inline const std::map<std::tuple<ObjectKind, int, CallKind>, Signature>& Types() {
  static const std::map<std::tuple<ObjectKind, int, CallKind>, Signature> table = {
      {{K::Application, appid::kVersion, C::Get}, {{}, kText}},
      {{K::Application, appid::kInteractive, C::Put}, {{{kBool}}}},
      {{K::Application, appid::kInteractive, C::Get}, {{}, kBool}},
      {{K::Application, appid::kNewDocument, C::Call}, {{}, kObject}},
      {{K::Application, appid::kShowChanges, C::Put}, {{{kBool}}}},
      {{K::Application, appid::kMakeColor, C::Call}, {{{kI2}, {kI2}, {kI2}}, kI4}},
      {{K::Application, appid::kMainWindow, C::Get}, {{}, kI4}},
      {{K::Application, appid::kEndNormally, C::Call}, {}},
      {{K::Application, appid::kEndAbnormally, C::Call}, {}},
      {{K::Document, docid::kPalette, C::Put}, {{{kText}}}},
      {{K::Document, docid::kPaletteOption, C::Put}, {{{kI2}}}},
      {{K::Document, docid::kLayoutCode, C::Put}, {{{kI2}}}},
      {{K::Document, docid::kDropX, C::Put}, {{{kR8}}}},
      {{K::Document, docid::kDropY, C::Put}, {{{kR8}}}},
      {{K::Document, docid::kDropX, C::Get}, {{}, kR8}},
      {{K::Document, docid::kDropY, C::Get}, {{}, kR8}},
      {{K::Document, docid::kDrop, C::Call}, {{{kText, true}}, kObject}},
      {{K::Document, docid::kConnect, C::Call}, {{{kObject}, {kObject}, {kR8, true}, {kR8, true}}, kObject}},
      {{K::Document, docid::kPage, C::Get}, {{}, kObject}},
      {{K::Document, docid::kSetLayoutStyle, C::Call}, {{{kI2}}}},
      {{K::Document, docid::kArrange, C::Call}, {{}, kBool}},
      {{K::Document, docid::kFitPages, C::Call}, {{{kI2}, {kI2, true}, {kR8}, {kR8}}, kBool}},
      {{K::Document, docid::kFinishStep, C::Put}, {{{kI2}}}},
      {{K::Shape, shapeid::kPlaced, C::Get}, {{}, kBool}},
      {{K::Shape, shapeid::kFill, C::Put}, {{{kI4}}}},
      {{K::Shape, shapeid::kLabel, C::Put}, {{{kText}}}},
      {{K::Shape, shapeid::kLink, C::Get}, {{}, kObject}},
      {{K::Shape, shapeid::kJunctionX, C::Put}, {{{kR8}}}},
      {{K::Shape, shapeid::kJunctionY, C::Put}, {{{kR8}}}},
      {{K::Link, linkid::kAddress, C::Put}, {{{kText}}}},
      {{K::Link, linkid::kCommand, C::Put}, {{{kText}}}},
      {{K::Line, lineid::kLayOut, C::Call}, {}},
      {{K::Line, lineid::kFormat, C::Get}, {{}, kObject}},
      {{K::LineFormat, formatid::kRouting, C::Put}, {{{kI2}}}},
      {{K::LineFormat, formatid::kArrow, C::Put}, {{{kI2}}}},
      {{K::Page, pageid::kWidth, C::Get}, {{}, kR8}},
      {{K::Page, pageid::kPagesAcross, C::Put}, {{{kI2}}}},
  };
  return table;
}

// A text in the ANSI code page crosses to the server as the Latin-1 characters of its bytes.
inline std::string ServerText(const AutoValue& v) {
  if (v.utf8) return v.text;
  std::string out;
  for (char c : v.text) out += Utf8Of(static_cast<unsigned char>(c));
  return out;
}

inline Value ServerValue(const AutoValue& v) {
  switch (v.type) {
    case AutoType::Text: return Value::Text(ServerText(v));
    case AutoType::I2: return Value::I2(std::int16_t(v.integer));
    case AutoType::I4: return Value::I4(v.integer);
    case AutoType::R8: return Value::R8(v.real);
    case AutoType::Bool: return Value::Bool(v.integer != 0);
    case AutoType::Object: return Value::Object(static_cast<StandInObject&>(*v.object).id);
    case AutoType::Empty: break;
  }
  return {};
}

}  // namespace stand_in_detail

inline void StandIn::CheckTypes(ObjectId target, int dispid, CallKind kind, const std::vector<AutoValue>& args,
                                AutoType result) {
  using namespace stand_in_detail;
  std::string line = JournalLine(target, dispid, kind, {});
  auto found = Types().find({target.kind, dispid, kind});
  if (found == Types().end()) {
    ADD_FAILURE() << "not in the interface: " << line;
    return;
  }
  const Signature& signature = found->second;
  bool typesMatch = signature.args.size() == args.size() && signature.result == result;
  for (size_t i = 0; typesMatch && i < args.size(); ++i)
    typesMatch = args[i].type == signature.args[i].type && args[i].variant == signature.args[i].variant;
  EXPECT_TRUE(typesMatch) << "argument or result types differ from the interface: " << line;
}

inline bool StandIn::Invoke(ObjectId target, int dispid, CallKind kind, const std::vector<AutoValue>& args,
                            AutoType result, AutoValue* out) {
  using namespace stand_in_detail;
  if (keepJournal) CheckTypes(target, dispid, kind, args, result);
  std::vector<Value> values;
  for (const AutoValue& a : args) values.push_back(ServerValue(a));
  if (!failOn.empty() && JournalLine(target, dispid, kind, values).rfind(failOn, 0) == 0) {
    OnCall(JournalLine(target, dispid, kind, values));
    return false;
  }
  if (keepJournal && kind == CallKind::Put && args.size() == 1 && args[0].type == AutoType::Text)
    utf8Puts[{target, dispid}] = args[0].utf8;
  CallResult r = app->Invoke(target, dispid, kind, values);
  if (r.status != CallStatus::Ok) {
    if (r.status != CallStatus::Failed) ADD_FAILURE() << JournalLine(target, dispid, kind, values) << ": " << r.message;
    return false;
  }
  if (target.kind == ObjectKind::Page && dispid == pageid::kWidth && pageWidth) r.value = Value::R8(*pageWidth);
  if (!out || result == AutoType::Empty) return true;
  const Value& v = r.value;
  switch (result) {
    case AutoType::Text: *out = AutoValue::Text(v.text); break;
    case AutoType::I2: *out = AutoValue::I2(std::int16_t(v.integer)); break;
    case AutoType::I4: *out = AutoValue::I4(v.integer); break;
    case AutoType::R8: *out = AutoValue::R8(v.Number()); break;
    case AutoType::Bool: *out = AutoValue::Bool(v.type == ValueType::Bool ? v.flag : v.integer != 0); break;
    case AutoType::Object: *out = AutoValue::Object(v.type == ValueType::Object ? Object(v.object) : nullptr); break;
    case AutoType::Empty: break;
  }
  return true;
}

inline std::vector<std::string> StandIn::Placements() const {
  std::vector<std::string> out;
  const Document* document = app->latestDocument();
  if (!document) return out;
  std::map<int, int> parentOf;
  for (int number : document->lines) {
    const Line& l = app->line(number);
    // Rows and columns connect (parent, child); the org chart connects (child, parent).
    bool childFirst = l.fromPoint == 0.0 && l.toPoint == 2.0;
    parentOf[childFirst ? l.from : l.to] = childFirst ? l.to : l.from;
  }
  for (int number : document->shapes) {
    const Shape& s = app->shape(number);
    char place[64];
    std::snprintf(place, sizeof place, " (%g,%g)", s.x, s.y);
    auto parent = parentOf.find(number);
    out.push_back(s.label + place + (parent != parentOf.end() ? " <" + app->shape(parent->second).label : ""));
  }
  return out;
}

inline std::vector<std::array<int, 3>> StandIn::Fills() const {
  std::vector<std::array<int, 3>> out;
  if (const Document* document = app->latestDocument())
    for (int number : document->shapes) {
      const std::optional<Rgb>& fill = app->shape(number).fill;
      out.push_back(fill ? std::array<int, 3>{fill->r, fill->g, fill->b} : std::array<int, 3>{-1, -1, -1});
    }
  return out;
}
