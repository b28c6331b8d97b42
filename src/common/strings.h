// Pathloom's numbered texts for the portable core. The program shows the same texts from its
// resources; both are made from src/resources/pathloom/strings.txt.
#pragma once
#include <string>

#include "string_ids.h"

// The text of string `id`; empty for a number the program does not have.
const char* StringText(int id);
// A text with one "%d", formatted with `number`.
std::string StringTextWithNumber(int id, int number);
