// One chart run: a branch of the site tree drawn as a flowchart in a new document of the
// flowchart application, one shape per node, in one of three layouts.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "chart/chart_host.h"
#include "chart/chart_options.h"
#include "chart/dispatch.h"
#include "site/site_tree.h"
#include "common/message_port.h"

// A call on the flowchart application reported an error: the chart run ends at once.
class AutomationError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Colour numbering that belongs to the process, not to one chart run: a second chart
// continues where the first left off.
struct ChartCounters {
  std::int32_t duplicateCounter = 0;  // grows by 30 per newly numbered duplicate label
  std::int16_t domainCounter = 255;   // falls by 50 per new domain
};
ChartCounters& ProcessChartCounters();

// Icon codes of AddShape.
enum ShapeResult { ShapeWithoutChildren = 0, ShapeWithChildren = 1, ShapeNotDrawn = 2 };

class ChartBuilder {
public:
  // Connects to the flowchart application and sets up a document. When the application
  // cannot be created, shows string 116 and ends the process with exit code 1.
  // Throws AutomationError when a call fails (teardown has run by then).
  ChartBuilder(const SiteTree& tree, ChartProgress& finishPage, ChartHost& host, MessagePort& messages);
  ~ChartBuilder();  // teardown
  ChartBuilder(const ChartBuilder&) = delete;
  ChartBuilder& operator=(const ChartBuilder&) = delete;

  void ApplyOptions(const ChartOptions& options);
  // Draw the branch of start (null: the first top-level node). Throw AutomationError.
  void DrawHorizontal(const SiteNode* start);
  void DrawVertical(const SiteNode* start);
  void DrawOrgChart(const SiteNode* start);
  // The normal end: abnormal set ends the application's run as failed.
  void Finish(bool abnormal);

private:
  enum class Layout { Horizontal, Vertical, OrgChart };

  const SiteNode* BeginLayout(const SiteNode* start, Layout layout);
  void EndLayout(Layout layout);
  void PlaceRows(const SiteNode* start, bool vertical);
  void PlaceOrgChart(const SiteNode* start);
  std::unordered_map<const SiteNode*, std::int32_t> CountParents(const SiteNode* start) const;
  void Connect(const DispatchPtr& from, const DispatchPtr& to, double fromPoint, double toPoint, bool formatLine);

  int AddShape(const SiteNode& node, int depth, DispatchPtr& shape);
  int CheckDuplicate(DispatchObject& shape, const std::string& label);
  void MarkDuplicates(const SiteNode* start);
  void NumberDomains(const SiteNode* start);
  void LabelShape(DispatchObject& shape, const std::string& label);
  void SetColor(DispatchObject& shape, std::int16_t red, std::int16_t green, std::int16_t blue);
  void Teardown() noexcept;

  // Calls that throw AutomationError when the callee reports an error.
  AutoValue Get(DispatchObject& object, int dispid, AutoType type);
  DispatchPtr GetObject(DispatchObject& object, int dispid);
  void Put(DispatchObject& object, int dispid, const AutoValue& value);
  AutoValue Call(DispatchObject& object, int dispid, const std::vector<AutoValue>& args, AutoType resultType);
  DispatchPtr CallForObject(DispatchObject& object, int dispid, const std::vector<AutoValue>& args);

  bool colorDuplicates = false;
  bool colorDepth = false;
  bool colorDomains = false;
  bool chartDuplicateChildren = true;
  double maxX = 0.0;
  double appVersion = 0.0;
  const SiteTree& tree;
  ChartProgress& finishPage;
  ChartHost& host;
  MessagePort& messages;
  std::string browserCommand;
  DispatchPtr application;
  std::unordered_map<std::string, std::string> textMap;
  double horizontalSpacing = 1.5;
  double verticalSpacing = 1.5;
  double minX = 100.0;
  DispatchPtr document;
  bool tooMuchData = false;
  double rowCursor = 0.0;
};

// The leading decimal number of a version text ("7.0 beta" gives 7.0; none gives 0.0).
double LeadingNumber(const std::string& text);
// A shape's label from its node's label: the last path step of the URL, or a mail address.
std::string ShapeName(const std::string& label);
