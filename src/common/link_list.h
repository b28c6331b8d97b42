// The links of one page, in the order they were found.
#pragma once
#include <string>
#include <vector>

using LinkList = std::vector<std::string>;
