#include "chart/chart_texts.h"

std::string ChartText(int id) {
  switch (id) {
    case kStringPaletteStandard: return "Standard";
    case kStringShapeSummingJunction: return "Summing Junction";
    case kStringShapeProcess: return "Process";
    case kStringShapePreparation: return "Preparation";
    case kStringShapeInternalStorage: return "Internal Storage";
    case kStringShapeTerminal: return "Terminal";
    case kStringShapeDocument: return "Document";
    case kStringPaletteBasic: return "Plotwright basic palettes\\Standard";
  }
  return {};
}
