#include "common/strings.h"

std::string StringTextWithNumber(int id, int number) {
  std::string text = StringText(id);
  if (auto at = text.find("%d"); at != std::string::npos) text.replace(at, 2, std::to_string(number));
  return text;
}
