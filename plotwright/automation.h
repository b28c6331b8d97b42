// One application object handed to a client, with every object it creates, and the table that
// answers each call on them by object kind, dispatch identifier and call kind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plotwright/document_model.h"
#include "plotwright/value.h"

enum class CallStatus { Ok, UnknownMember, BadArgCount, TypeMismatch, Failed };

struct CallResult {
  CallStatus status = CallStatus::Ok;
  Value value;
  std::string message;  // why it failed
  int badArg = -1;      // index of the argument that did not fit
};

struct ApplicationSettings {
  std::string version = "7.0";
  int failAt = 0;  // the call with this number (counted from 1) fails; 0: none
};

class ApplicationEvents {
public:
  virtual ~ApplicationEvents() = default;
  virtual void OnCall(const std::string& journalLine) = 0;
  // A call changed what is drawn.
  virtual void OnChanged() = 0;
  // The client's last step: a normal (true) or abnormal end of its run.
  virtual void OnRunEnded(bool normal) = 0;
};

// The leading decimal number of a version text ("7.0b" gives 7.0); 0.0 when there is none.
double VersionNumber(const std::string& text);

// Colour numbers handed out by the colour method: components within 0 to 255 give the
// familiar red | green << 8 | blue << 16; any other set gets a number of its own at
// kUnusualColourBase and up, so that the document keeps the components as given.
constexpr std::int32_t kUnusualColourBase = 0x01000000;

class Application {
public:
  explicit Application(ApplicationSettings chosen, ApplicationEvents* listener = nullptr);

  // What a call with these dispatch flags is: a put when put is set, else a call or a get,
  // whichever the object has under that identifier.
  CallKind Resolve(ObjectId target, int dispid, bool put, bool get, bool call) const;
  CallResult Invoke(ObjectId target, int dispid, CallKind kind, const std::vector<Value>& args);
  bool Exists(ObjectId id) const;

  void SetMainWindow(std::int32_t handle) { mainWindow = handle; }
  const std::string& versionText() const { return settings.version; }
  bool interactive() const { return interactiveMode; }
  int calls() const { return callCount; }
  // The document most recently created, or null.
  const Document* latestDocument() const { return documents.empty() ? nullptr : &documents.back(); }
  const Document& document(int number) const { return documents.at(number - 1); }
  const Shape& shape(int number) const { return shapes.at(number - 1); }
  const Line& line(int number) const { return lines.at(number - 1); }
  // The route of each of the document's lines as drawn, in the order of its lines: worked out
  // when first asked for after the document changed, so that no call waits for it.
  const std::vector<std::vector<Point>>& Routes(const Document& document) const;

private:
  struct Entry;
  static const Entry* Find(ObjectKind kind, int dispid, CallKind callKind, double version);
  CallResult Check(const Entry& entry, ObjectId target, const std::vector<Value>& args) const;
  std::optional<Rgb> ColourOf(std::int32_t number) const;
  // Grows the document's extent by what the placed shape draws.
  static void Extend(Document& document, const Shape& shape);
  Document& DocumentOf(ObjectId id) { return documents.at(id.number - 1); }
  Shape& ShapeOf(ObjectId id) { return shapes.at(id.number - 1); }
  Line& LineOf(ObjectId id) { return lines.at(id.number - 1); }

  CallResult GetVersion(ObjectId, const std::vector<Value>&);
  CallResult PutInteractive(ObjectId, const std::vector<Value>&);
  CallResult GetInteractive(ObjectId, const std::vector<Value>&);
  CallResult NewDocument(ObjectId, const std::vector<Value>&);
  CallResult PutShowChanges(ObjectId, const std::vector<Value>&);
  CallResult MakeColor(ObjectId, const std::vector<Value>&);
  CallResult GetMainWindow(ObjectId, const std::vector<Value>&);
  CallResult EndNormally(ObjectId, const std::vector<Value>&);
  CallResult EndAbnormally(ObjectId, const std::vector<Value>&);
  CallResult PutPalette(ObjectId, const std::vector<Value>&);
  CallResult PutPaletteOption(ObjectId, const std::vector<Value>&);
  CallResult PutLayoutCode(ObjectId, const std::vector<Value>&);
  CallResult PutDropX(ObjectId, const std::vector<Value>&);
  CallResult PutDropY(ObjectId, const std::vector<Value>&);
  CallResult GetDropX(ObjectId, const std::vector<Value>&);
  CallResult GetDropY(ObjectId, const std::vector<Value>&);
  CallResult Drop(ObjectId, const std::vector<Value>&);
  CallResult Connect(ObjectId, const std::vector<Value>&);
  CallResult GetPage(ObjectId, const std::vector<Value>&);
  CallResult SetLayoutStyle(ObjectId, const std::vector<Value>&);
  CallResult Arrange(ObjectId, const std::vector<Value>&);
  CallResult FitPages(ObjectId, const std::vector<Value>&);
  CallResult PutFinishStep(ObjectId, const std::vector<Value>&);
  CallResult GetPlaced(ObjectId, const std::vector<Value>&);
  CallResult PutFill(ObjectId, const std::vector<Value>&);
  CallResult PutLabel(ObjectId, const std::vector<Value>&);
  CallResult GetLink(ObjectId, const std::vector<Value>&);
  CallResult PutJunctionX(ObjectId, const std::vector<Value>&);
  CallResult PutJunctionY(ObjectId, const std::vector<Value>&);
  CallResult PutLinkAddress(ObjectId, const std::vector<Value>&);
  CallResult PutLinkCommand(ObjectId, const std::vector<Value>&);
  CallResult LayOut(ObjectId, const std::vector<Value>&);
  CallResult GetFormat(ObjectId, const std::vector<Value>&);
  CallResult PutRouting(ObjectId, const std::vector<Value>&);
  CallResult PutArrow(ObjectId, const std::vector<Value>&);
  CallResult GetPageWidth(ObjectId, const std::vector<Value>&);
  CallResult PutPagesAcross(ObjectId, const std::vector<Value>&);

  ApplicationSettings settings;
  double versionNumber;
  ApplicationEvents* events;
  int callCount = 0;
  bool interactiveMode = true;
  bool showChanges = true;
  std::int32_t mainWindow = 0;
  std::vector<Rgb> unusualColours;
  std::vector<Document> documents;
  std::vector<Shape> shapes;
  std::vector<Line> lines;
  struct CachedRoutes {
    int revision = -1;
    std::vector<std::vector<Point>> routes;
  };
  mutable std::vector<CachedRoutes> routeCache;  // by document
};
