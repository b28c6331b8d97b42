#include "plotwright/automation.h"

#include <gtest/gtest.h>

#include "plotwright/journal.h"
#include "plotwright/recording_events.h"

namespace {

const ObjectId kApp{ObjectKind::Application, 0};
const ObjectId kDoc1{ObjectKind::Document, 1};
const ObjectId kDoc2{ObjectKind::Document, 2};
ObjectId ShapeN(int n) { return {ObjectKind::Shape, n}; }

struct Step {
  ObjectId target;
  int dispid;
  CallKind kind;
  std::vector<Value> args;
  CallStatus status;
  std::string result;  // the result as the journal would write it; "-" for none
};

// Runs the steps in order on one application and checks each status and result.
void RunSteps(Application& app, const std::vector<Step>& steps) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const Step& s = steps[i];
    CallResult r = app.Invoke(s.target, s.dispid, s.kind, s.args);
    SCOPED_TRACE("step " + std::to_string(i + 1) + ": " + ObjectName(s.target) + " " + std::to_string(s.dispid));
    EXPECT_EQ(r.status, s.status) << r.message;
    if (s.result != "-") {
      EXPECT_EQ(JsonValue(r.value), s.result);
    }
  }
}

}  // namespace

namespace {

std::vector<Step> OpenDocument(const char* palette) {
  return {
      {kApp, 67, CallKind::Call, {}, CallStatus::Ok, "\"document1\""},
      {kDoc1, 4, CallKind::Put, {Value::Text(palette)}, CallStatus::Ok, "-"},
  };
}

}  // namespace

TEST(ApplicationCalls, ARunOfTheCurrentVersionGetsItsResults) {
  RecordingEvents events;
  Application app({"7.0", 0}, &events);
  app.SetMainWindow(0x1234);
  auto r8 = Value::R8;
  RunSteps(app, {
      {kApp, 30, CallKind::Get, {}, CallStatus::Ok, "\"7.0\""},
      {kApp, 31, CallKind::Get, {}, CallStatus::Ok, "true"},
      {kApp, 31, CallKind::Put, {Value::Bool(false)}, CallStatus::Ok, "-"},
      {kApp, 31, CallKind::Get, {}, CallStatus::Ok, "false"},
      {kApp, 67, CallKind::Call, {}, CallStatus::Ok, "\"document1\""},
      {kDoc1, 71, CallKind::Call, {Value::Text("Process")}, CallStatus::Failed, "-"},  // no palette yet
      {kDoc1, 4, CallKind::Put, {Value::Text("Standard")}, CallStatus::Failed, "-"},  // the older palette
      {kDoc1, 4, CallKind::Put, {Value::Text("plotwright basic palettes\\standard")}, CallStatus::Ok, "-"},
      {kDoc1, 53, CallKind::Put, {Value::I2(0)}, CallStatus::Ok, "-"},
      {kApp, 25, CallKind::Put, {Value::Bool(false)}, CallStatus::Ok, "-"},
      {kDoc1, 2, CallKind::Put, {Value::I2(1)}, CallStatus::Ok, "-"},
      {kDoc1, 6, CallKind::Put, {r8(50)}, CallStatus::Ok, "-"},
      {kDoc1, 7, CallKind::Put, {r8(2)}, CallStatus::Ok, "-"},
      {kDoc1, 71, CallKind::Call, {Value::Text("Summing Junction")}, CallStatus::Ok, "\"shape1\""},
      {ShapeN(1), 24, CallKind::Get, {}, CallStatus::Ok, "true"},
      {kDoc1, 6, CallKind::Get, {}, CallStatus::Ok, "50.0"},
      {kDoc1, 7, CallKind::Get, {}, CallStatus::Ok, "2.0"},
      {kDoc1, 71, CallKind::Call, {Value::Text("Decision")}, CallStatus::Failed, "-"},
      {kApp, 63, CallKind::Call, {Value::I2(255), Value::I2(0), Value::I2(255)}, CallStatus::Ok, "16711935"},
      {kApp, 63, CallKind::Call, {Value::I2(-15), Value::I2(270), Value::I2(255)}, CallStatus::Ok, "16777216"},
      {kApp, 63, CallKind::Call, {Value::I2(270), Value::I2(-15), Value::I2(255)}, CallStatus::Ok, "16777217"},
      {kApp, 63, CallKind::Call, {Value::I2(-15), Value::I2(270), Value::I2(255)}, CallStatus::Ok, "16777216"},
      {ShapeN(1), 5, CallKind::Put, {Value::I4(16777217)}, CallStatus::Ok, "-"},
      {ShapeN(1), 5, CallKind::Put, {Value::I4(16777300)}, CallStatus::Failed, "-"},  // never handed out
      {ShapeN(1), 5, CallKind::Put, {Value::I4(-1)}, CallStatus::Failed, "-"},
      {ShapeN(1), 17, CallKind::Put, {Value::Text("team.html")}, CallStatus::Ok, "-"},
      {ShapeN(1), 17, CallKind::Put, {Value::I4(3)}, CallStatus::TypeMismatch, "-"},
      {ShapeN(1), 15, CallKind::Get, {}, CallStatus::Ok, "\"link1\""},
      {{ObjectKind::Link, 1}, 15, CallKind::Put, {Value::Text("http://a/team.html")}, CallStatus::Ok, "-"},
      {{ObjectKind::Link, 1}, 9, CallKind::Put, {Value::Text("browse.exe http://a/team.html")}, CallStatus::Ok, "-"},
      {ShapeN(1), 3, CallKind::Put, {r8(50)}, CallStatus::Ok, "-"},
      {ShapeN(1), 4, CallKind::Put, {r8(3)}, CallStatus::Ok, "-"},
      {kDoc1, 7, CallKind::Put, {r8(4)}, CallStatus::Ok, "-"},
      {kDoc1, 71, CallKind::Call, {Value::Text("internal storage")}, CallStatus::Ok, "\"shape2\""},
      {kDoc1, 69, CallKind::Call, {Value::Object(ShapeN(2)), Value::Object(ShapeN(1)), r8(0), r8(2)}, CallStatus::Ok,
       "\"line1\""},
      {kDoc1, 69, CallKind::Call, {Value::Object(ShapeN(2)), Value::Object(kDoc1), r8(0), r8(2)},
       CallStatus::TypeMismatch, "-"},
      {kDoc1, 69, CallKind::Call, {Value::Object(ShapeN(2)), Value::Object(ShapeN(9)), r8(0), r8(2)},
       CallStatus::TypeMismatch, "-"},
      {kDoc1, 69, CallKind::Call, {Value::Object(ShapeN(2)), Value::Object(ShapeN(1))}, CallStatus::BadArgCount, "-"},
      {{ObjectKind::Line, 1}, 10, CallKind::Get, {}, CallStatus::Ok, "\"lineformat1\""},
      {{ObjectKind::LineFormat, 1}, 11, CallKind::Put, {Value::I2(3)}, CallStatus::Ok, "-"},
      {{ObjectKind::LineFormat, 1}, 5, CallKind::Put, {Value::I2(0)}, CallStatus::Ok, "-"},
      {{ObjectKind::Line, 1}, 34, CallKind::Call, {}, CallStatus::Ok, "-"},
      {{ObjectKind::Line, 2}, 34, CallKind::Call, {}, CallStatus::Failed, "-"},  // no such line
      {kDoc1, 37, CallKind::Get, {}, CallStatus::Ok, "\"page1\""},
      {{ObjectKind::Page, 1}, 9, CallKind::Get, {}, CallStatus::Ok, "11.0"},
      {kDoc1, 89, CallKind::Call, {Value::I2(2)}, CallStatus::Ok, "-"},
      {kDoc1, 66, CallKind::Call, {}, CallStatus::Ok, "true"},
      {kDoc1, 81, CallKind::Call, {Value::I2(0), Value::I2(0), r8(1), r8(1)}, CallStatus::Ok, "true"},
      {{ObjectKind::Page, 1}, 15, CallKind::Put, {Value::I2(3)}, CallStatus::Ok, "-"},
      {kDoc1, 55, CallKind::Put, {Value::I2(1)}, CallStatus::Ok, "-"},
      {kApp, 31, CallKind::Put, {Value::Bool(true)}, CallStatus::Ok, "-"},
      {kApp, 33, CallKind::Get, {}, CallStatus::Ok, "4660"},
      {kApp, 64, CallKind::Call, {}, CallStatus::Ok, "-"},
      {kApp, 99, CallKind::Call, {}, CallStatus::UnknownMember, "-"},
      {kApp, 30, CallKind::Put, {Value::Text("8.0")}, CallStatus::UnknownMember, "-"},
  });

  const Shape& junction = app.shape(1);
  EXPECT_EQ(junction.master, Master::SummingJunction);
  EXPECT_EQ(junction.fill, (Rgb{270, -15, 255}));  // kept as given; clamped only when drawn
  EXPECT_EQ(junction.label, "team.html");
  EXPECT_EQ(junction.linkAddress, "http://a/team.html");
  EXPECT_EQ(junction.linkCommand, "browse.exe http://a/team.html");
  EXPECT_EQ(junction.junctionY, 3.0);
  const Line& line = app.line(1);
  EXPECT_EQ(line.from, 2);
  EXPECT_EQ(line.to, 1);
  EXPECT_TRUE(line.laidOut);
  EXPECT_EQ(line.routing, 3);
  EXPECT_EQ(line.arrow, 0);
  const Document& doc = app.document(1);
  EXPECT_EQ(doc.pagesAcross, 3);
  EXPECT_EQ(doc.finishStep, 1);
  EXPECT_EQ(doc.layoutCode, 1);
  EXPECT_EQ(doc.shapes, (std::vector<int>{1, 2}));
  EXPECT_EQ(events.runEnds, std::vector<bool>{true});
  EXPECT_EQ(int(events.journal.size()), app.calls());
}

TEST(ApplicationCalls, TheOlderVersionOpensItsOwnPaletteAndLacksTheNewerLayoutCalls) {
  Application app({"5.0", 0});
  RunSteps(app, OpenDocument("Standard"));
  RunSteps(app, {
      {kApp, 30, CallKind::Get, {}, CallStatus::Ok, "\"5.0\""},
      {kDoc1, 4, CallKind::Put, {Value::Text("Plotwright basic palettes\\Standard")}, CallStatus::Failed, "-"},
      {kDoc1, 89, CallKind::Call, {Value::I2(2)}, CallStatus::UnknownMember, "-"},
      {kDoc1, 66, CallKind::Call, {}, CallStatus::UnknownMember, "-"},
      {kDoc1, 81, CallKind::Call, {Value::I2(0), Value::I2(0), Value::R8(1), Value::R8(1)}, CallStatus::UnknownMember,
       "-"},
      {kDoc1, 55, CallKind::Put, {Value::I2(2)}, CallStatus::Ok, "-"},
      {kApp, 65, CallKind::Call, {}, CallStatus::Ok, "-"},
  });
}

TEST(ApplicationCalls, ADropIsPlacedOnlyWithinThePage) {
  struct Case {
    double x, y;
    bool placed;
  } cases[] = {
      {0, 0, true}, {100, 100, true}, {50, 2, true}, {-0.5, 2, false}, {100.5, 2, false}, {3, 101, false},
      {3, -1, false},
  };
  Application app({"7.0", 0});
  RunSteps(app, OpenDocument("Plotwright basic palettes\\Standard"));
  int n = 0;
  for (const Case& c : cases) {
    app.Invoke(kDoc1, 6, CallKind::Put, {Value::R8(c.x)});
    app.Invoke(kDoc1, 7, CallKind::Put, {Value::R8(c.y)});
    ASSERT_EQ(app.Invoke(kDoc1, 71, CallKind::Call, {Value::Text("Process")}).status, CallStatus::Ok);
    CallResult placed = app.Invoke(ShapeN(++n), 24, CallKind::Get, {});
    EXPECT_EQ(placed.value.flag, c.placed) << c.x << ", " << c.y;
  }
}

TEST(ApplicationCalls, ShapesOfOneDocumentCannotBeConnectedInAnother) {
  Application app({"7.0", 0});
  RunSteps(app, OpenDocument("Plotwright basic palettes\\Standard"));
  app.Invoke(kDoc1, 71, CallKind::Call, {Value::Text("Process")});
  app.Invoke(kDoc1, 71, CallKind::Call, {Value::Text("Process")});
  app.Invoke(kApp, 67, CallKind::Call, {});
  CallResult r = app.Invoke(kDoc2, 69, CallKind::Call,
                            {Value::Object(ShapeN(1)), Value::Object(ShapeN(2)), Value::R8(2), Value::R8(3)});
  EXPECT_EQ(r.status, CallStatus::TypeMismatch);
  EXPECT_EQ(r.badArg, 0);
  EXPECT_EQ(app.latestDocument()->number, 2);
}

TEST(ApplicationCalls, TheCallChosenByTheFailSettingFailsAndIsStillJournaled) {
  RecordingEvents events;
  Application app({"7.0", 3}, &events);
  EXPECT_EQ(app.Invoke(kApp, 30, CallKind::Get, {}).status, CallStatus::Ok);
  EXPECT_EQ(app.Invoke(kApp, 31, CallKind::Put, {Value::Bool(false)}).status, CallStatus::Ok);
  CallResult failed = app.Invoke(kApp, 67, CallKind::Call, {});
  EXPECT_EQ(failed.status, CallStatus::Failed);
  EXPECT_EQ(failed.message, "Call 3 failed on purpose.");
  EXPECT_EQ(app.latestDocument(), nullptr);
  EXPECT_EQ(app.Invoke(kApp, 31, CallKind::Get, {}).value.flag, false);
  EXPECT_EQ(events.journal, (std::vector<std::string>{"application 30 get []", "application 31 put [false]",
                                                      "application 67 call []", "application 31 get []"}));
  EXPECT_EQ(events.changes, 1);  // only the put changed anything
}

TEST(ApplicationCalls, DispatchFlagsResolveByWhatTheObjectHas) {
  Application app({"7.0", 0});
  struct Case {
    ObjectKind kind;
    int dispid;
    bool put, get, call;
    CallKind expected;
  } cases[] = {
      {ObjectKind::Application, 30, false, true, true, CallKind::Get},
      {ObjectKind::Application, 67, false, true, true, CallKind::Call},
      {ObjectKind::Application, 30, false, false, true, CallKind::Call},  // a get called as a method stays a call
      {ObjectKind::Document, 6, true, false, false, CallKind::Put},
      {ObjectKind::Document, 6, false, true, false, CallKind::Get},
      {ObjectKind::Shape, 15, false, true, true, CallKind::Get},
      {ObjectKind::Document, 999, false, true, false, CallKind::Get},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app.Resolve({c.kind, 1}, c.dispid, c.put, c.get, c.call), c.expected) << c.dispid;
}

TEST(ApplicationCalls, VersionNumberIsTheLeadingDecimalNumber) {
  struct Case {
    const char* text;
    double number;
  } cases[] = {{"7.0", 7.0}, {"5.0", 5.0}, {"7", 7.0}, {"6.5b", 6.5}, {"12.25.3", 12.25}, {"", 0.0}, {"v7", 0.0},
               {".", 0.0}};
  for (const Case& c : cases) EXPECT_EQ(VersionNumber(c.text), c.number) << c.text;
}
