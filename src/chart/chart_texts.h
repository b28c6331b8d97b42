// The numbered texts a chart run uses.
#pragma once
#include <string>

constexpr int kStringPlotwrightFailed = 116;
constexpr int kStringPaletteStandard = 126;
constexpr int kStringShapeSummingJunction = 127;
constexpr int kStringShapeProcess = 128;
constexpr int kStringShapePreparation = 129;
constexpr int kStringShapeInternalStorage = 130;
constexpr int kStringShapeTerminal = 131;
constexpr int kStringTooMuchData = 136;
constexpr int kStringShapeDocument = 143;
constexpr int kStringPaletteBasic = 148;

std::string ChartText(int id);
