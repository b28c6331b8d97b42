// ExtractLinks against libxml2's HTML parser on whole real pages: the pages named, one a line,
// in the file given by PATHLOOM_REAL_PAGES (bench/link_recall.py --list writes one). libxml2
// parses each page into a tree and its a/area href and frame/iframe src are collected, the work
// ExtractLinks does in its one pass.
#include <benchmark/benchmark.h>

#include <libxml/HTMLparser.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "crawler/link_extractor.h"

namespace {

struct Page {
  std::string text;
  std::string base;
};

const std::vector<Page>& Pages() {
  static const std::vector<Page> pages = [] {
    std::vector<Page> result;
    const char* listName = std::getenv("PATHLOOM_REAL_PAGES");
    std::ifstream list(listName ? listName : "");
    std::string line;
    while (std::getline(list, line)) {
      const size_t tab = line.find('\t');
      std::ifstream file(line.substr(0, tab), std::ios::binary);
      std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
      result.push_back({std::move(text), tab == std::string::npos ? "http://docs.example/" : line.substr(tab + 1)});
    }
    return result;
  }();
  return pages;
}

int64_t TotalBytes() {
  int64_t total = 0;
  for (const Page& page : Pages()) total += static_cast<int64_t>(page.text.size());
  return total;
}

bool IsOneOf(const xmlChar* name, const char* a, const char* b) {
  return xmlStrcasecmp(name, BAD_CAST a) == 0 || xmlStrcasecmp(name, BAD_CAST b) == 0;
}

// Walks siblings by loop and children by recursion, as deep as the page nests.
void CollectLinks(xmlNode* node, std::vector<std::string>& links) {
  for (; node; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    const char* attribute = IsOneOf(node->name, "a", "area")      ? "href"
                            : IsOneOf(node->name, "frame", "iframe") ? "src"
                                                                     : nullptr;
    if (attribute) {
      if (xmlChar* value = xmlGetProp(node, BAD_CAST attribute)) {
        links.emplace_back(reinterpret_cast<const char*>(value));
        xmlFree(value);
      }
    }
    CollectLinks(node->children, links);
  }
}

void BM_ExtractLinks_RealPages(benchmark::State& state) {
  if (Pages().empty()) state.SkipWithError("set PATHLOOM_REAL_PAGES to a list of pages");
  size_t links = 0;
  for (auto _ : state) {
    links = 0;
    for (const Page& page : Pages()) {
      LinkList list;
      benchmark::DoNotOptimize(ExtractLinks(page.text, page.base, false, list));
      links += list.size();
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * TotalBytes());
  state.counters["links"] = static_cast<double>(links);
  state.counters["pages"] = static_cast<double>(Pages().size());
}

void BM_LibXml2Html_RealPages(benchmark::State& state) {
  if (Pages().empty()) state.SkipWithError("set PATHLOOM_REAL_PAGES to a list of pages");
  size_t links = 0;
  for (auto _ : state) {
    links = 0;
    for (const Page& page : Pages()) {
      htmlDocPtr doc = htmlReadMemory(page.text.data(), static_cast<int>(page.text.size()), page.base.c_str(), nullptr,
                                      HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
      std::vector<std::string> list;
      if (doc) CollectLinks(xmlDocGetRootElement(doc), list);
      xmlFreeDoc(doc);
      links += list.size();
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * TotalBytes());
  state.counters["links"] = static_cast<double>(links);
}

}  // namespace

BENCHMARK(BM_ExtractLinks_RealPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibXml2Html_RealPages)->Unit(benchmark::kMillisecond);
