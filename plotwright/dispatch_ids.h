// The flowchart application's automation interface: its ProgID and, for each kind of object, the
// dispatch identifiers of its members. Pathloom's chart builder calls them and the stand-in
// answers them, both from this one list.
#pragma once

constexpr const char* kProgId = "tesselplot.application";

namespace appid {
constexpr int kVersion = 30;        // get text: its leading number is the version
constexpr int kInteractive = 31;    // put/get BOOL: FALSE while a client drives it, TRUE once the run ends
constexpr int kShowChanges = 25;    // put BOOL
constexpr int kMainWindow = 33;     // get I4
constexpr int kMakeColor = 63;      // call (I2, I2, I2), returns the I4 colour
constexpr int kEndNormally = 64;    // call: the last step of a run that ended well
constexpr int kEndAbnormally = 65;  // call: the last step of a run that failed
constexpr int kNewDocument = 67;    // call, returns the document
}  // namespace appid

namespace docid {
constexpr int kLayoutCode = 2;      // put I2: 1 org chart, 3 otherwise
constexpr int kPalette = 4;         // put text
constexpr int kDropX = 6;           // put/get R8: where the next shape drops
constexpr int kDropY = 7;           // put/get R8
constexpr int kPage = 37;           // get object
constexpr int kPaletteOption = 53;  // put I2, 0 after the palette
constexpr int kFinishStep = 55;     // put I2: the last step of a layout
constexpr int kArrange = 66;        // call, returns BOOL: lays the shapes out in the style set
constexpr int kConnect = 69;        // call (shape, shape, VARIANT R8, VARIANT R8), returns the line
constexpr int kDrop = 71;           // call (VARIANT text: the master), returns the shape
constexpr int kFitPages = 81;       // call (I2, VARIANT, R8, R8), returns BOOL
constexpr int kSetLayoutStyle = 89;  // call (I2)
}  // namespace docid

namespace shapeid {
constexpr int kJunctionX = 3;  // put R8: where the lines to its children meet (org chart)
constexpr int kJunctionY = 4;  // put R8
constexpr int kFill = 5;       // put I4: a colour made by appid::kMakeColor
constexpr int kLink = 15;      // get object
constexpr int kLabel = 17;     // put text
constexpr int kPlaced = 24;    // get BOOL: FALSE when the drop lies outside the page
}  // namespace shapeid

namespace linkid {
constexpr int kCommand = 9;   // put text
constexpr int kAddress = 15;  // put text
}  // namespace linkid

namespace lineid {
constexpr int kFormat = 10;  // get object
constexpr int kLayOut = 34;  // call, after every connection
}  // namespace lineid

namespace formatid {
constexpr int kArrow = 5;     // put I2
constexpr int kRouting = 11;  // put I2
}  // namespace formatid

namespace pageid {
constexpr int kWidth = 9;         // get R8, in chart units
constexpr int kPagesAcross = 15;  // put I2
}  // namespace pageid
