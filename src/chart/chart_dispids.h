// Dispatch identifiers of the flowchart application's objects, as Pathloom calls them.
#pragma once

constexpr const char* kProgId = "tesselplot.application";

namespace appid {
constexpr int kVersion = 30;      // get text: leading number is the version
constexpr int kUserControl = 31;  // put/get BOOL: FALSE while we drive it, TRUE once the run ends
constexpr int kNewDocument = 67;  // call, returns the document
constexpr int kRedraw = 25;       // put BOOL
constexpr int kColor = 63;        // call (I2, I2, I2), returns the I4 colour
constexpr int kMainWindow = 33;   // get I4
constexpr int kEndNormal = 64;    // call
constexpr int kEndAbnormal = 65;  // call
}  // namespace appid

namespace docid {
constexpr int kLayout = 2;        // put I2: 1 org chart, 3 otherwise
constexpr int kPalette = 4;       // put text
constexpr int kDropX = 6;         // put/get R8
constexpr int kDropY = 7;         // put/get R8
constexpr int kPage = 37;         // get object
constexpr int kPaletteMode = 53;  // put I2, 0 after the palette
constexpr int kLastStep = 55;     // put I2
constexpr int kResize = 66;       // call, returns BOOL
constexpr int kConnect = 69;      // call (object, object, VARIANT R8, VARIANT R8), returns the line
constexpr int kDrop = 71;         // call (VARIANT text), returns the shape
constexpr int kCenter = 81;       // call (I2, VARIANT, R8, R8), returns BOOL
constexpr int kArrange = 89;      // call (I2)
}  // namespace docid

namespace shapeid {
constexpr int kChildX = 3;   // put R8 (org chart)
constexpr int kChildY = 4;   // put R8 (org chart)
constexpr int kFill = 5;     // put I4
constexpr int kLink = 15;    // get object
constexpr int kText = 17;    // put text
constexpr int kPlaced = 24;  // get BOOL: FALSE when the drop lies outside the page
}  // namespace shapeid

namespace linkid {
constexpr int kCommand = 9;   // put text
constexpr int kAddress = 15;  // put text
}  // namespace linkid

namespace lineid {
constexpr int kFormat = 10;  // get object
constexpr int kRoute = 34;   // call
}  // namespace lineid

namespace formatid {
constexpr int kEnd = 5;     // put I2
constexpr int kStyle = 11;  // put I2
}  // namespace formatid

namespace pageid {
constexpr int kWidth = 9;         // get R8, in chart units
constexpr int kPagesAcross = 15;  // put I2
}  // namespace pageid
