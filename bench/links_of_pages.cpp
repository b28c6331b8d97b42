// Prints what ExtractLinks finds on each page of a list, for comparing it with a real HTML
// parser (bench/link_recall.py). Input lines: PATH TAB BASE. Output lines: PAGE-INDEX TAB LINK.
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "crawler/link_extractor.h"

int main() {
  std::string line;
  for (size_t index = 0; std::getline(std::cin, line); ++index) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    std::ifstream file(line.substr(0, tab), std::ios::binary);
    const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    LinkList links;
    if (!ExtractLinks(page, line.substr(tab + 1), false, links)) std::cout << index << "\t#error-page\n";
    for (const std::string& link : links) std::cout << index << '\t' << link << '\n';
  }
  return 0;
}
