#include "plotwright/automation.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "plotwright/connector_routes.h"
#include "plotwright/dispatch_ids.h"
#include "plotwright/geometry.h"
#include "plotwright/journal.h"

namespace {

// The palette each version opens; its masters are those of document_model.h.
constexpr const char* kModernPalette = "Plotwright basic palettes\\Standard";
constexpr const char* kOlderPalette = "Standard";
constexpr double kModernVersion = 7.0;

bool SameCaseBlind(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

CallResult Ok(Value value = {}) {
  CallResult r;
  r.value = std::move(value);
  return r;
}

CallResult Fail(CallStatus status, std::string message, int badArg = -1) {
  CallResult r;
  r.status = status;
  r.message = std::move(message);
  r.badArg = badArg;
  return r;
}

// An integer argument of any numeric type; reals are rounded as automation coerces them.
std::int32_t IntegerOf(const Value& v) {
  if (v.type == ValueType::R8) return static_cast<std::int32_t>(std::lround(v.real));
  if (v.type == ValueType::Bool) return v.flag ? -1 : 0;
  return v.integer;
}

bool FlagOf(const Value& v) { return v.type == ValueType::Bool ? v.flag : IntegerOf(v) != 0; }

}  // namespace

// Argument codes: T text, I integer, R real, B boolean, S a shape of the same document,
// V any value.
struct Application::Entry {
  ObjectKind kind;
  int dispid;
  CallKind callKind;
  const char* args;
  double minVersion;
  CallResult (Application::*handler)(ObjectId, const std::vector<Value>&);
};

namespace {
using K = ObjectKind;
using C = CallKind;
}  // namespace

const Application::Entry* Application::Find(ObjectKind kind, int dispid, CallKind callKind, double version) {
  static const Entry kTable[] = {
      {K::Application, appid::kVersion, C::Get, "", 0, &Application::GetVersion},
      {K::Application, appid::kInteractive, C::Put, "B", 0, &Application::PutInteractive},
      {K::Application, appid::kInteractive, C::Get, "", 0, &Application::GetInteractive},
      {K::Application, appid::kNewDocument, C::Call, "", 0, &Application::NewDocument},
      {K::Application, appid::kShowChanges, C::Put, "B", 0, &Application::PutShowChanges},
      {K::Application, appid::kMakeColor, C::Call, "III", 0, &Application::MakeColor},
      {K::Application, appid::kMainWindow, C::Get, "", 0, &Application::GetMainWindow},
      {K::Application, appid::kEndNormally, C::Call, "", 0, &Application::EndNormally},
      {K::Application, appid::kEndAbnormally, C::Call, "", 0, &Application::EndAbnormally},
      {K::Document, docid::kPalette, C::Put, "T", 0, &Application::PutPalette},
      {K::Document, docid::kPaletteOption, C::Put, "I", 0, &Application::PutPaletteOption},
      {K::Document, docid::kLayoutCode, C::Put, "I", 0, &Application::PutLayoutCode},
      {K::Document, docid::kDropX, C::Put, "R", 0, &Application::PutDropX},
      {K::Document, docid::kDropY, C::Put, "R", 0, &Application::PutDropY},
      {K::Document, docid::kDropX, C::Get, "", 0, &Application::GetDropX},
      {K::Document, docid::kDropY, C::Get, "", 0, &Application::GetDropY},
      {K::Document, docid::kDrop, C::Call, "T", 0, &Application::Drop},
      {K::Document, docid::kConnect, C::Call, "SSRR", 0, &Application::Connect},
      {K::Document, docid::kPage, C::Get, "", 0, &Application::GetPage},
      {K::Document, docid::kSetLayoutStyle, C::Call, "I", kModernVersion, &Application::SetLayoutStyle},
      {K::Document, docid::kArrange, C::Call, "", kModernVersion, &Application::Arrange},
      {K::Document, docid::kFitPages, C::Call, "IVRR", kModernVersion, &Application::FitPages},
      {K::Document, docid::kFinishStep, C::Put, "I", 0, &Application::PutFinishStep},
      {K::Shape, shapeid::kPlaced, C::Get, "", 0, &Application::GetPlaced},
      {K::Shape, shapeid::kFill, C::Put, "I", 0, &Application::PutFill},
      {K::Shape, shapeid::kLabel, C::Put, "T", 0, &Application::PutLabel},
      {K::Shape, shapeid::kLink, C::Get, "", 0, &Application::GetLink},
      {K::Shape, shapeid::kJunctionX, C::Put, "R", 0, &Application::PutJunctionX},
      {K::Shape, shapeid::kJunctionY, C::Put, "R", 0, &Application::PutJunctionY},
      {K::Link, linkid::kAddress, C::Put, "T", 0, &Application::PutLinkAddress},
      {K::Link, linkid::kCommand, C::Put, "T", 0, &Application::PutLinkCommand},
      {K::Line, lineid::kLayOut, C::Call, "", 0, &Application::LayOut},
      {K::Line, lineid::kFormat, C::Get, "", 0, &Application::GetFormat},
      {K::LineFormat, formatid::kRouting, C::Put, "I", 0, &Application::PutRouting},
      {K::LineFormat, formatid::kArrow, C::Put, "I", 0, &Application::PutArrow},
      {K::Page, pageid::kWidth, C::Get, "", 0, &Application::GetPageWidth},
      {K::Page, pageid::kPagesAcross, C::Put, "I", 0, &Application::PutPagesAcross},
  };
  for (const Entry& e : kTable)
    if (e.kind == kind && e.dispid == dispid && e.callKind == callKind && version >= e.minVersion) return &e;
  return nullptr;
}

double VersionNumber(const std::string& text) {
  std::size_t end = 0;
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  if (end < text.size() && text[end] == '.') {
    ++end;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  }
  std::string number = text.substr(0, end);
  return number.empty() || number == "." ? 0.0 : std::strtod(number.c_str(), nullptr);
}

Application::Application(ApplicationSettings chosen, ApplicationEvents* listener)
    : settings(std::move(chosen)), versionNumber(VersionNumber(settings.version)), events(listener) {}

CallKind Application::Resolve(ObjectId target, int dispid, bool put, bool get, bool call) const {
  if (put) return CallKind::Put;
  if (call && Find(target.kind, dispid, CallKind::Call, versionNumber)) return CallKind::Call;
  if (get && Find(target.kind, dispid, CallKind::Get, versionNumber)) return CallKind::Get;
  return call ? CallKind::Call : CallKind::Get;
}

bool Application::Exists(ObjectId id) const {
  auto within = [&](std::size_t count) { return id.number >= 1 && static_cast<std::size_t>(id.number) <= count; };
  switch (id.kind) {
    case ObjectKind::Application: return id.number == 0;
    case ObjectKind::Document:
    case ObjectKind::Page: return within(documents.size());
    case ObjectKind::Shape:
    case ObjectKind::Link: return within(shapes.size());
    case ObjectKind::Line:
    case ObjectKind::LineFormat: return within(lines.size());
  }
  return false;
}

CallResult Application::Invoke(ObjectId target, int dispid, CallKind kind, const std::vector<Value>& args) {
  ++callCount;
  if (events) events->OnCall(JournalLine(target, dispid, kind, args));
  if (callCount == settings.failAt)
    return Fail(CallStatus::Failed, "Call " + std::to_string(callCount) + " failed on purpose.");
  if (!Exists(target)) return Fail(CallStatus::Failed, "No such object.");
  const Entry* entry = Find(target.kind, dispid, kind, versionNumber);
  if (!entry) return Fail(CallStatus::UnknownMember, "No such member.");
  CallResult checked = Check(*entry, target, args);
  if (checked.status != CallStatus::Ok) return checked;
  CallResult result = (this->*entry->handler)(target, args);
  if (result.status == CallStatus::Ok && kind != CallKind::Get && events) events->OnChanged();
  return result;
}

CallResult Application::Check(const Entry& entry, ObjectId target, const std::vector<Value>& args) const {
  std::string codes = entry.args;
  if (args.size() != codes.size()) return Fail(CallStatus::BadArgCount, "Wrong number of arguments.");
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Value& v = args[i];
    bool fits = false;
    switch (codes[i]) {
      case 'T': fits = v.type == ValueType::Text; break;
      case 'I': fits = v.IsNumber() && std::isfinite(v.Number()) && std::fabs(v.Number()) < 2147483647.0; break;
      case 'R': fits = v.IsNumber() && std::isfinite(v.Number()); break;
      case 'B': fits = v.type == ValueType::Bool || v.type == ValueType::I2 || v.type == ValueType::I4; break;
      case 'S':
        fits = v.type == ValueType::Object && v.object.kind == ObjectKind::Shape && Exists(v.object) &&
               shapes[v.object.number - 1].document == target.number;
        break;
      case 'V': fits = v.type != ValueType::Other && v.type != ValueType::Empty; break;
    }
    if (!fits) return Fail(CallStatus::TypeMismatch, "Argument " + std::to_string(i + 1) + " does not fit.", int(i));
  }
  return Ok();
}

const std::vector<std::vector<Point>>& Application::Routes(const Document& document) const {
  if (routeCache.size() < documents.size()) routeCache.resize(documents.size());
  CachedRoutes& cached = routeCache.at(document.number - 1);
  if (cached.revision != document.revision) {
    cached.routes = RouteConnectors(*this, document);
    cached.revision = document.revision;
  }
  return cached.routes;
}

void Application::Extend(Document& d, const Shape& s) {
  if (!s.placed) return;
  Bounds b = ShapeExtent(s);
  d.extent = d.extent ? d.extent->Union(b) : b;
}

std::optional<Rgb> Application::ColourOf(std::int32_t number) const {
  if (number >= 0 && number < kUnusualColourBase) return Rgb{number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF};
  std::int64_t index = std::int64_t(number) - kUnusualColourBase;
  if (index >= 0 && index < std::int64_t(unusualColours.size())) return unusualColours[index];
  return std::nullopt;
}

CallResult Application::GetVersion(ObjectId, const std::vector<Value>&) { return Ok(Value::Text(settings.version)); }

CallResult Application::PutInteractive(ObjectId, const std::vector<Value>& a) {
  interactiveMode = FlagOf(a[0]);
  return Ok();
}

CallResult Application::GetInteractive(ObjectId, const std::vector<Value>&) { return Ok(Value::Bool(interactiveMode)); }

CallResult Application::NewDocument(ObjectId, const std::vector<Value>&) {
  Document d;
  d.number = int(documents.size()) + 1;
  documents.push_back(d);
  return Ok(Value::Object({ObjectKind::Document, d.number}));
}

CallResult Application::PutShowChanges(ObjectId, const std::vector<Value>& a) {
  showChanges = FlagOf(a[0]);
  return Ok();
}

CallResult Application::MakeColor(ObjectId, const std::vector<Value>& a) {
  Rgb c{IntegerOf(a[0]), IntegerOf(a[1]), IntegerOf(a[2])};
  auto inRange = [](int v) { return v >= 0 && v <= 255; };
  if (inRange(c.r) && inRange(c.g) && inRange(c.b)) return Ok(Value::I4(c.r | c.g << 8 | c.b << 16));
  for (std::size_t i = 0; i < unusualColours.size(); ++i)
    if (unusualColours[i] == c) return Ok(Value::I4(kUnusualColourBase + std::int32_t(i)));
  unusualColours.push_back(c);
  return Ok(Value::I4(kUnusualColourBase + std::int32_t(unusualColours.size() - 1)));
}

CallResult Application::GetMainWindow(ObjectId, const std::vector<Value>&) { return Ok(Value::I4(mainWindow)); }

CallResult Application::EndNormally(ObjectId, const std::vector<Value>&) {
  if (events) events->OnRunEnded(true);
  return Ok();
}

CallResult Application::EndAbnormally(ObjectId, const std::vector<Value>&) {
  if (events) events->OnRunEnded(false);
  return Ok();
}

CallResult Application::PutPalette(ObjectId id, const std::vector<Value>& a) {
  const char* known = versionNumber >= kModernVersion ? kModernPalette : kOlderPalette;
  if (!SameCaseBlind(a[0].text, known)) return Fail(CallStatus::Failed, "There is no palette \"" + a[0].text + "\".");
  DocumentOf(id).palette = a[0].text;
  return Ok();
}

CallResult Application::PutPaletteOption(ObjectId id, const std::vector<Value>& a) {
  DocumentOf(id).paletteOption = IntegerOf(a[0]);
  return Ok();
}

CallResult Application::PutLayoutCode(ObjectId id, const std::vector<Value>& a) {
  DocumentOf(id).layoutCode = IntegerOf(a[0]);
  return Ok();
}

CallResult Application::PutDropX(ObjectId id, const std::vector<Value>& a) {
  DocumentOf(id).dropX = a[0].Number();
  return Ok();
}

CallResult Application::PutDropY(ObjectId id, const std::vector<Value>& a) {
  DocumentOf(id).dropY = a[0].Number();
  return Ok();
}

CallResult Application::GetDropX(ObjectId id, const std::vector<Value>&) { return Ok(Value::R8(DocumentOf(id).dropX)); }

CallResult Application::GetDropY(ObjectId id, const std::vector<Value>&) { return Ok(Value::R8(DocumentOf(id).dropY)); }

CallResult Application::Drop(ObjectId id, const std::vector<Value>& a) {
  Document& d = DocumentOf(id);
  if (d.palette.empty()) return Fail(CallStatus::Failed, "No palette is open.");
  std::optional<Master> master = MasterByName(a[0].text);
  if (!master) return Fail(CallStatus::Failed, "The palette has no master \"" + a[0].text + "\".");
  Shape s;
  s.document = d.number;
  s.master = *master;
  s.x = d.dropX;
  s.y = d.dropY;
  s.placed = OnPage(s.x, s.y);
  shapes.push_back(s);
  int number = int(shapes.size());
  d.shapes.push_back(number);
  ++d.revision;
  Extend(d, s);
  return Ok(Value::Object({ObjectKind::Shape, number}));
}

CallResult Application::Connect(ObjectId id, const std::vector<Value>& a) {
  Document& d = DocumentOf(id);
  Line l;
  l.document = d.number;
  l.from = a[0].object.number;
  l.to = a[1].object.number;
  l.fromPoint = a[2].Number();
  l.toPoint = a[3].Number();
  lines.push_back(l);
  int number = int(lines.size());
  d.lines.push_back(number);
  ++d.revision;
  return Ok(Value::Object({ObjectKind::Line, number}));
}

CallResult Application::GetPage(ObjectId id, const std::vector<Value>&) {
  return Ok(Value::Object({ObjectKind::Page, id.number}));
}

CallResult Application::SetLayoutStyle(ObjectId id, const std::vector<Value>& a) {
  DocumentOf(id).layoutStyle = IntegerOf(a[0]);
  return Ok();
}

CallResult Application::Arrange(ObjectId, const std::vector<Value>&) { return Ok(Value::Bool(true)); }

CallResult Application::FitPages(ObjectId, const std::vector<Value>&) { return Ok(Value::Bool(true)); }

CallResult Application::PutFinishStep(ObjectId id, const std::vector<Value>& a) {
  DocumentOf(id).finishStep = IntegerOf(a[0]);
  return Ok();
}

CallResult Application::GetPlaced(ObjectId id, const std::vector<Value>&) { return Ok(Value::Bool(ShapeOf(id).placed)); }

CallResult Application::PutFill(ObjectId id, const std::vector<Value>& a) {
  std::optional<Rgb> colour = ColourOf(IntegerOf(a[0]));
  if (!colour) return Fail(CallStatus::Failed, "There is no colour " + std::to_string(IntegerOf(a[0])) + ".");
  ShapeOf(id).fill = colour;
  return Ok();
}

CallResult Application::PutLabel(ObjectId id, const std::vector<Value>& a) {
  Shape& s = ShapeOf(id);
  s.label = a[0].text;
  s.labelLines = WrapLabel(s.label, LabelWidth(s.master));
  Extend(documents.at(s.document - 1), s);
  return Ok();
}

CallResult Application::GetLink(ObjectId id, const std::vector<Value>&) {
  return Ok(Value::Object({ObjectKind::Link, id.number}));
}

CallResult Application::PutJunctionX(ObjectId id, const std::vector<Value>& a) {
  ShapeOf(id).junctionX = a[0].Number();
  return Ok();
}

CallResult Application::PutJunctionY(ObjectId id, const std::vector<Value>& a) {
  ShapeOf(id).junctionY = a[0].Number();
  return Ok();
}

CallResult Application::PutLinkAddress(ObjectId id, const std::vector<Value>& a) {
  ShapeOf(id).linkAddress = a[0].text;
  return Ok();
}

CallResult Application::PutLinkCommand(ObjectId id, const std::vector<Value>& a) {
  ShapeOf(id).linkCommand = a[0].text;
  return Ok();
}

CallResult Application::LayOut(ObjectId id, const std::vector<Value>&) {
  LineOf(id).laidOut = true;
  return Ok();
}

CallResult Application::GetFormat(ObjectId id, const std::vector<Value>&) {
  return Ok(Value::Object({ObjectKind::LineFormat, id.number}));
}

CallResult Application::PutRouting(ObjectId id, const std::vector<Value>& a) {
  LineOf(id).routing = IntegerOf(a[0]);
  return Ok();
}

CallResult Application::PutArrow(ObjectId id, const std::vector<Value>& a) {
  LineOf(id).arrow = IntegerOf(a[0]);
  return Ok();
}

CallResult Application::GetPageWidth(ObjectId, const std::vector<Value>&) { return Ok(Value::R8(kPageWidth)); }

CallResult Application::PutPagesAcross(ObjectId id, const std::vector<Value>& a) {
  DocumentOf(id).pagesAcross = IntegerOf(a[0]);
  return Ok();
}
