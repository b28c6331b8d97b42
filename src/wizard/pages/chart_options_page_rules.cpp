#include "wizard/pages/chart_options_page_rules.h"

#include "wizard/pages/field_rules.h"

namespace {

using Field = ChartOptionsStore::Field;

enum class Spacing { Stored, NotANumber, OutOfRange };

Spacing StoreSpacing(const std::string& text, double& spacing) {
  std::optional<double> value = ParseNumberField(text);
  if (!value) return Spacing::NotANumber;
  if (*value < kLeastSpacing || *value > kMostSpacing) return Spacing::OutOfRange;
  spacing = *value;
  return Spacing::Stored;
}

}  // namespace

ChartOptionsStore StoreChartOptions(const ChartOptionsFields& fields, ChartOptions& options) {
  options.colorMode = fields.colorMode;
  options.orientation = fields.orientation;
  options.chartDuplicateChildren = fields.chartDuplicateChildren;
  // Without a flowchart the spacing fields are disabled: the user could not mend them there, so
  // their bad text keeps the old values instead of holding the page.
  const struct {
    Field field;
    const std::string& text;
    double& spacing;
  } spacings[] = {{Field::HorizontalSpacing, fields.horizontalSpacing, options.horizontalSpacing},
                  {Field::VerticalSpacing, fields.verticalSpacing, options.verticalSpacing}};
  for (const auto& s : spacings) {
    Spacing stored = StoreSpacing(s.text, s.spacing);
    if (stored != Spacing::Stored && fields.generateFlowchart) return {s.field, stored == Spacing::OutOfRange};
  }
  options.generateFlowchart = fields.generateFlowchart;
  options.saveSitemap = fields.saveSitemap;
  options.sitemapFileName = fields.sitemapFileName;
  return {};
}
std::optional<int> OrientationAt(int x, int y) {
  for (int i = 0; i < 3; ++i) {
    const PixelArea& a = kOrientationAreas[i];
    if (x >= a.left && x < a.right && y >= a.top && y < a.bottom) return i;
  }
  return std::nullopt;
}
