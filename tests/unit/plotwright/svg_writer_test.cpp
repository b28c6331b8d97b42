#include "plotwright/svg_writer.h"

#include <gtest/gtest.h>

namespace {

const ObjectId kApp{ObjectKind::Application, 0};
const ObjectId kDoc{ObjectKind::Document, 1};

void Drop(Application& app, double x, double y, const char* master) {
  app.Invoke(kDoc, 6, CallKind::Put, {Value::R8(x)});
  app.Invoke(kDoc, 7, CallKind::Put, {Value::R8(y)});
  ASSERT_EQ(app.Invoke(kDoc, 71, CallKind::Call, {Value::Text(master)}).status, CallStatus::Ok);
}

void Connect(Application& app, int from, int to, bool layOut) {
  CallResult line = app.Invoke(kDoc, 69, CallKind::Call,
                               {Value::Object({ObjectKind::Shape, from}), Value::Object({ObjectKind::Shape, to}),
                                Value::R8(2), Value::R8(3)});
  ASSERT_EQ(line.status, CallStatus::Ok);
  if (layOut) app.Invoke(line.value.object, 34, CallKind::Call, {});
}

// A process with two children, one coloured out of range and labelled with markup, one off
// the page, and a line to each.
std::string SmallDrawing() {
  Application app({"7.0", 0});
  app.Invoke(kApp, 67, CallKind::Call, {});
  app.Invoke(kDoc, 4, CallKind::Put, {Value::Text("Plotwright basic palettes\\Standard")});
  Drop(app, 1, 2, "Process");
  Drop(app, 2, 3, "Summing Junction");
  Drop(app, -2, 3, "Terminal");
  Connect(app, 1, 2, true);
  Connect(app, 1, 3, true);
  Connect(app, 2, 1, false);
  CallResult colour = app.Invoke(kApp, 63, CallKind::Call, {Value::I2(-15), Value::I2(270), Value::I2(255)});
  app.Invoke({ObjectKind::Shape, 2}, 5, CallKind::Put, {colour.value});
  app.Invoke({ObjectKind::Shape, 2}, 17, CallKind::Put, {Value::Text("a<b>&\"c\"")});
  app.Invoke({ObjectKind::Shape, 1}, 17, CallKind::Put, {Value::Text("Z:\\samples\\site\\products\\index.html")});
  app.Invoke({ObjectKind::Link, 2}, 15, CallKind::Put, {Value::Text("http://x/?a=1&b=2")});
  return SvgDocument(app, app.document(1));
}

}  // namespace

TEST(SvgWriter, DrawsPlacedShapesOverTheirLines) {
  std::string svg = SmallDrawing();
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("<g id=\"shape1\" data-master=\"Process\">"), std::string::npos);
  EXPECT_NE(svg.find("<g id=\"shape2\" data-master=\"Summing Junction\" data-fill=\"-15,270,255\">"),
            std::string::npos);
  EXPECT_EQ(svg.find("id=\"shape3\""), std::string::npos);  // not placed
  EXPECT_EQ(svg.find("id=\"line2\""), std::string::npos);   // it ends at that shape
  EXPECT_LT(svg.find("id=\"line1\""), svg.find("id=\"shape1\""));
  EXPECT_NE(svg.find("<ellipse"), std::string::npos);
  EXPECT_NE(svg.find("fill=\"#00ffff\""), std::string::npos);
  EXPECT_NE(svg.find("fill=\"#e8f0ff\""), std::string::npos);  // the master's own colour
  EXPECT_NE(svg.find(">a&lt;b&gt;&amp;&quot;c&quot;</tspan></text>"), std::string::npos);
  // A long label is wrapped on lines of its own, never squeezed.
  EXPECT_NE(svg.find("<text transform=\"scale(0.01)\"><tspan x=\"100\" y=\"182.6\">Z:\\samples\\</tspan>"
                     "<tspan x=\"100\" y=\"197\">site\\</tspan>"),
            std::string::npos) << svg;
  EXPECT_EQ(svg.find("textLength"), std::string::npos);
  EXPECT_NE(svg.find("xlink:href=\"http://x/?a=1&amp;b=2\""), std::string::npos);
  std::size_t dashed = svg.find("stroke-dasharray");
  ASSERT_NE(dashed, std::string::npos);
  EXPECT_GT(dashed, svg.find("id=\"line3\""));  // only the line never laid out
  EXPECT_EQ(svg.find("stroke-dasharray", dashed + 1), std::string::npos);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
}

TEST(SvgWriter, TheViewBoxHoldsThePlacedShapesWithAMargin) {
  std::string svg = SmallDrawing();
  // From the process at (1, 2), its four label lines reaching above it, to the junction at (2, 3)
  // with its label below, half a unit around.
  EXPECT_NE(svg.find("viewBox=\"0.1 1.212 2.8 2.788\""), std::string::npos) << svg.substr(0, 300);
}

TEST(SvgWriter, TextIsEscapedForXml) {
  struct Case {
    const char* text;
    const char* xml;
  } cases[] = {{"plain", "plain"},     {"a&b", "a&amp;b"},     {"<\">", "&lt;&quot;&gt;"},
               {"caf\xe9", "caf&#233;"}, {"tab\there", "tab here"}, {"", ""},
               // Characters above ASCII stay as they are, in UTF-8.
               {"caf\xc3\xa9 \xe6\x97\xa5&", "caf\xc3\xa9 \xe6\x97\xa5&amp;"},
               {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
               {"\xef\xbf\xbe", "\xef\xbf\xbd"}};
  for (const Case& c : cases) EXPECT_EQ(XmlText(c.text), c.xml);
}

TEST(SvgWriter, LabelsAboveAsciiAreWrittenInUtf8) {
  Application app({"7.0", 0});
  app.Invoke(kApp, 67, CallKind::Call, {});
  app.Invoke(kDoc, 4, CallKind::Put, {Value::Text("Plotwright basic palettes\\Standard")});
  Drop(app, 1, 2, "Process");
  const std::string japanese = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.html";
  app.Invoke({ObjectKind::Shape, 1}, 17, CallKind::Put, {Value::Text(japanese)});
  app.Invoke({ObjectKind::Link, 1}, 15, CallKind::Put, {Value::Text("http://x/%E6%97%A5.html")});
  std::string svg = SvgDocument(app, app.document(1));
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u);
  EXPECT_NE(svg.find("\">" + japanese + "</tspan>"), std::string::npos) << svg;
  EXPECT_NE(svg.find("<title>" + japanese + "&#10;http://x/%E6%97%A5.html</title>"), std::string::npos) << svg;
}

TEST(SvgWriter, AnEmptyDocumentIsStillAPicture) {
  Application app({"7.0", 0});
  app.Invoke(kApp, 67, CallKind::Call, {});
  std::string svg = SvgDocument(app, app.document(1));
  EXPECT_NE(svg.find("viewBox=\"0 0 1 1\""), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
}
