// The chart run: connection to the flowchart application, the three layouts, the end of a
// layout, Finish and teardown. Sibling chains are walked by loops and the depth by explicit
// stacks, in the order a depth-first drawing gives, so no tree shape can exhaust the stack.
#include "chart/chart_builder.h"

#include <cmath>
#include <limits>
#include <vector>

#include "plotwright/dispatch_ids.h"
#include "common/strings.h"

namespace {

constexpr double kChartLimit = 100.0;
constexpr double kStartX = 0.0;
constexpr double kStartY = 2.0;
constexpr double kOrgChartBaseX = 50.0;

// The page count of an org chart, truncated toward zero plus one; kept inside 16 bits
// (a page width of 0 or an absurd extent would otherwise make the conversion undefined).
std::int16_t PagesAcross(double extent, double pageWidth) {
  double quotient = extent / pageWidth;
  if (!std::isfinite(quotient)) return 1;
  double pages = std::trunc(quotient) + 1.0;
  if (pages > std::numeric_limits<std::int16_t>::max()) return std::numeric_limits<std::int16_t>::max();
  if (pages < std::numeric_limits<std::int16_t>::min()) return std::numeric_limits<std::int16_t>::min();
  return static_cast<std::int16_t>(pages);
}

}  // namespace

ChartCounters& ProcessChartCounters() {
  static ChartCounters counters;
  return counters;
}

double LeadingNumber(const std::string& text) {
  size_t i = text.find_first_not_of(" \t");
  if (i == std::string::npos) return 0.0;
  double value = 0.0;
  bool any = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, any = true) value = value * 10 + (text[i] - '0');
  if (i < text.size() && text[i] == '.') {
    double scale = 0.1;
    for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, any = true, scale /= 10)
      value += (text[i] - '0') * scale;
  }
  return any ? value : 0.0;
}

ChartBuilder::ChartBuilder(const SiteTree& siteTree, ChartProgress& page, ChartHost& chartHost,
                           MessagePort& messagePort)
    : tree(siteTree), finishPage(page), host(chartHost), messages(messagePort) {
  application = host.CreateApplication(kProgId);
  if (!application) {
    messages.ShowMessage(IDS_PLOTWRIGHT_FAILED);
    host.EndProcess(1);
    throw AutomationError("the flowchart application cannot be created");
  }
  try {
    appVersion = LeadingNumber(Get(*application, appid::kVersion, AutoType::Text).text);
    Put(*application, appid::kInteractive, AutoValue::Bool(false));
    std::string palette = StringText(appVersion >= 7.0 ? IDS_PALETTE_BASIC : IDS_PALETTE_STANDARD);
    document = CallForObject(*application, appid::kNewDocument, {});
    Put(*document, docid::kPalette, AutoValue::Text(palette));
    Put(*document, docid::kPaletteOption, AutoValue::I2(0));
    Put(*application, appid::kShowChanges, AutoValue::Bool(false));
  } catch (const AutomationError&) {
    Teardown();
    throw;
  }
  browserCommand = host.BrowserCommand();
}

ChartBuilder::~ChartBuilder() { Teardown(); }

void ChartBuilder::Teardown() noexcept {
  if (application) {
    DispatchResult interactive = application->Get(appid::kInteractive, AutoType::Bool);
    if (interactive.ok && !interactive.value.integer && application->Put(appid::kInteractive, AutoValue::Bool(true)))
      application->Call(appid::kEndAbnormally, {}, AutoType::Empty);
  }
  document.reset();
  application.reset();
}

void ChartBuilder::ApplyOptions(const ChartOptions& options) {
  colorDuplicates = options.colorMode == 1;
  colorDepth = options.colorMode == 2;
  colorDomains = options.colorMode == 0;
  chartDuplicateChildren = options.chartDuplicateChildren;
  horizontalSpacing = options.horizontalSpacing;
  verticalSpacing = options.verticalSpacing;
}

void ChartBuilder::Finish(bool abnormal) {
  Put(*application, appid::kInteractive, AutoValue::Bool(true));
  if (abnormal) {
    Call(*application, appid::kEndAbnormally, {}, AutoType::Empty);
    return;
  }
  host.RaiseWindow(Get(*application, appid::kMainWindow, AutoType::I4).integer);
  Call(*application, appid::kEndNormally, {}, AutoType::Empty);
}

void ChartBuilder::DrawHorizontal(const SiteNode* start) {
  PlaceRows(BeginLayout(start, Layout::Horizontal), false);
  EndLayout(Layout::Horizontal);
}

void ChartBuilder::DrawVertical(const SiteNode* start) {
  PlaceRows(BeginLayout(start, Layout::Vertical), true);
  EndLayout(Layout::Vertical);
}

void ChartBuilder::DrawOrgChart(const SiteNode* start) {
  PlaceOrgChart(BeginLayout(start, Layout::OrgChart));
  EndLayout(Layout::OrgChart);
}

const SiteNode* ChartBuilder::BeginLayout(const SiteNode* start, Layout layout) {
  if (!start) start = tree.FirstTopLevel();
  if (colorDuplicates || !chartDuplicateChildren) MarkDuplicates(start);
  if (colorDomains) NumberDomains(start);
  Put(*document, docid::kLayoutCode, AutoValue::I2(layout == Layout::OrgChart ? 1 : 3));
  return start;
}

void ChartBuilder::EndLayout(Layout layout) {
  if (appVersion >= 7.0 && layout == Layout::OrgChart) {
    DispatchPtr page = GetObject(*document, docid::kPage);
    double width = Get(*page, pageid::kWidth, AutoType::R8).real;
    std::int16_t pages = PagesAcross(2 * horizontalSpacing - minX + maxX, width);
    Call(*document, docid::kSetLayoutStyle, {AutoValue::I2(2)}, AutoType::Empty);
    Call(*document, docid::kArrange, {}, AutoType::Bool);
    Call(*document, docid::kFitPages,
         {AutoValue::I2(0), AutoValue::Variant(AutoValue::I2(0)), AutoValue::R8(1.0), AutoValue::R8(1.0)},
         AutoType::Bool);
    Put(*page, pageid::kPagesAcross, AutoValue::I2(pages));
  }
  Put(*document, docid::kFinishStep, AutoValue::I2(appVersion >= 7.0 ? 1 : 2));
  if (tooMuchData) {
    messages.ShowMessage(IDS_TOO_MUCH_DATA);
    tooMuchData = false;
  }
}

// For every node of the branch: how many nodes with at least one child its own branch holds
// (itself included). A sibling chain's row span is the sum over the chain's later members.
std::unordered_map<const SiteNode*, std::int32_t> ChartBuilder::CountParents(const SiteNode* start) const {
  std::unordered_map<const SiteNode*, std::int32_t> counts;
  std::vector<const SiteNode*> preOrder;
  for (const SiteNode* node = start; node;) {
    preOrder.push_back(node);
    counts[node] = node->firstChild ? 1 : 0;
    if (node->firstChild) {
      node = node->firstChild;
      continue;
    }
    while (node != start && !node->nextSibling) node = node->parent;
    node = node == start ? nullptr : node->nextSibling;
  }
  // Descendants follow their ancestor in pre-order, so going backwards completes each count
  // before it is added to the parent's.
  for (size_t i = preOrder.size(); i-- > 1;) counts[preOrder[i]->parent] += counts[preOrder[i]];
  return counts;
}

void ChartBuilder::Connect(const DispatchPtr& from, const DispatchPtr& to, double fromPoint, double toPoint,
                           bool formatLine) {
  DispatchPtr line = CallForObject(*document, docid::kConnect,
                                   {AutoValue::Object(from), AutoValue::Object(to),
                                    AutoValue::Variant(AutoValue::R8(fromPoint)),
                                    AutoValue::Variant(AutoValue::R8(toPoint))});
  if (formatLine) {
    DispatchPtr format = GetObject(*line, lineid::kFormat);
    Put(*format, formatid::kRouting, AutoValue::I2(3));
    Put(*format, formatid::kArrow, AutoValue::I2(0));
  }
  Call(*line, lineid::kLayOut, {}, AutoType::Empty);
}

// Horizontal (siblings to the right in one row) and vertical (siblings down one column).
// A sibling chain is placed first, then the children of its members, last member first:
// that is the order in which a drawing that recurses into the next sibling before the
// node's own children places them, and it decides positions, duplicates and progress.
void ChartBuilder::PlaceRows(const SiteNode* start, bool vertical) {
  struct Chain {
    const SiteNode* node;
    double x;
    double y;
    DispatchPtr parentShape;
    int depth;
  };
  if (!start) return;
  std::unordered_map<const SiteNode*, std::int32_t> parents = CountParents(start);
  const double h = horizontalSpacing;
  const double v = verticalSpacing;
  std::vector<Chain> pending{{start, kStartX, kStartY, nullptr, 0}};
  while (!pending.empty() && !tooMuchData) {
    Chain chain = std::move(pending.back());
    pending.pop_back();
    std::int32_t laterParents = 0;  // nodes with children in the branches of the chain's unplaced members
    if (chain.depth > 0)
      for (const SiteNode* s = chain.node; s; s = s->nextSibling) laterParents += parents[s];
    std::vector<Chain> children;
    double x = chain.x;
    double y = chain.y;
    for (const SiteNode* node = chain.node; node; node = chain.depth > 0 ? node->nextSibling : nullptr) {
      double posX = h + x;
      if (posX > kChartLimit || y > kChartLimit) tooMuchData = true;
      if (tooMuchData) break;
      Put(*document, docid::kDropX, AutoValue::R8(posX));
      Put(*document, docid::kDropY, AutoValue::R8(y));
      DispatchPtr shape;
      int result = AddShape(*node, chain.depth, shape);
      if (result == ShapeNotDrawn) {
        // The next sibling takes this node's place.
        if (vertical) y -= v;
        else x -= h;
      } else {
        LabelShape(*shape, node->label);
        if (chain.parentShape) Connect(chain.parentShape, shape, vertical ? 1.0 : 2.0, vertical ? 0.0 : 3.0, false);
      }
      if (chain.depth > 0) laterParents -= parents[node];
      double span = v * laterParents;  // the rows the later siblings' branches take
      if (result == ShapeWithChildren && node->firstChild) {
        if (vertical)
          children.push_back({node->firstChild, x + h + span, y + v, shape, chain.depth + 1});
        else
          children.push_back({node->firstChild, x + h, y + v + span, shape, chain.depth + 1});
      }
      if (vertical) y += v;
      else x += h;
    }
    for (Chain& c : children) pending.push_back(std::move(c));
  }
}

// Org chart: each level in one row, children alternating right and left of their parent's
// X; a node that opens a level moves the shared row cursor on by two vertical spacings.
void ChartBuilder::PlaceOrgChart(const SiteNode* start) {
  struct Level {
    const SiteNode* node;  // the member being placed, or whose children are being placed
    double x;
    double y;
    DispatchPtr parentShape;
    int depth;
    double baseX;
    int side;
    DispatchPtr shape;    // of node, while its children are placed
    bool childrenPlaced;  // node's children are done: connect it and go on with its sibling
  };
  if (!start || tooMuchData) return;
  const double h = horizontalSpacing;
  const double v = verticalSpacing;
  rowCursor = kStartY;
  std::vector<Level> levels{{start, kStartX, kStartY, nullptr, 0, kOrgChartBaseX, +1, nullptr, false}};
  while (!levels.empty()) {
    Level& level = levels.back();
    if (!level.node) {
      levels.pop_back();
      continue;
    }
    int result = ShapeWithChildren;
    if (!level.childrenPlaced) {
      double posX = level.side * level.x + level.baseX;
      if (posX > kChartLimit || level.y > kChartLimit) {
        tooMuchData = true;
        return;
      }
      Put(*document, docid::kDropX, AutoValue::R8(posX));
      Put(*document, docid::kDropY, AutoValue::R8(level.y));
      result = AddShape(*level.node, level.depth, level.shape);
      if (result != ShapeNotDrawn) LabelShape(*level.shape, level.node->label);
      if (tooMuchData) return;
      if (result == ShapeWithChildren && level.node->firstChild) {
        rowCursor += v;
        Put(*level.shape, shapeid::kJunctionX, AutoValue::R8(posX));
        Put(*level.shape, shapeid::kJunctionY, AutoValue::R8(rowCursor));
        rowCursor += v;
        level.childrenPlaced = true;
        Level child{level.node->firstChild, 0.0, rowCursor, level.shape, level.depth + 1, posX, +1, nullptr, false};
        levels.push_back(std::move(child));  // `level` is not used again in this round
        continue;
      }
    }
    level.childrenPlaced = false;
    if (result != ShapeNotDrawn) {
      if (level.parentShape) Connect(level.shape, level.parentShape, 0.0, 2.0, true);
      level.side = -level.side;
      if (level.side == -1) level.x += h;
    }
    level.shape.reset();
    level.node = level.depth > 0 ? level.node->nextSibling : nullptr;
  }
  rowCursor = kStartY;
}

AutoValue ChartBuilder::Get(DispatchObject& object, int dispid, AutoType type) {
  DispatchResult r = object.Get(dispid, type);
  if (!r.ok) throw AutomationError("property get " + std::to_string(dispid) + " failed");
  return r.value;
}

DispatchPtr ChartBuilder::GetObject(DispatchObject& object, int dispid) {
  AutoValue value = Get(object, dispid, AutoType::Object);
  if (!value.object) throw AutomationError("property " + std::to_string(dispid) + " gave no object");
  return value.object;
}

void ChartBuilder::Put(DispatchObject& object, int dispid, const AutoValue& value) {
  if (!object.Put(dispid, value)) throw AutomationError("property put " + std::to_string(dispid) + " failed");
}

AutoValue ChartBuilder::Call(DispatchObject& object, int dispid, const std::vector<AutoValue>& args,
                             AutoType resultType) {
  DispatchResult r = object.Call(dispid, args, resultType);
  if (!r.ok) throw AutomationError("method " + std::to_string(dispid) + " failed");
  return r.value;
}

DispatchPtr ChartBuilder::CallForObject(DispatchObject& object, int dispid, const std::vector<AutoValue>& args) {
  AutoValue value = Call(object, dispid, args, AutoType::Object);
  if (!value.object) throw AutomationError("method " + std::to_string(dispid) + " gave no object");
  return value.object;
}
