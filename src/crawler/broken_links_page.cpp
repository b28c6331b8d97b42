#include "crawler/broken_links_page.h"

#include <ostream>

#include "common/strings.h"
#include "common/text.h"

namespace {

constexpr size_t kChunkSize = 64 * 1024;

std::string Count(size_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + ' ' + std::string(n == 1 ? one : many);
}

class PageWriter {
public:
  explicit PageWriter(std::ostream& out) : out(out) { text.reserve(kChunkSize + 4096); }

  PageWriter& operator<<(std::string_view piece) {
    text.append(piece);
    return *this;
  }
  // A line ends here; the text goes out in chunks.
  void End() {
    text.append("\r\n");
    if (text.size() >= kChunkSize) Flush();
  }
  // The address as a link to it, or as text where it leads nowhere a browser should go.
  void Address(std::string_view address) {
    std::string target = LinkTarget(address);
    if (target.empty()) {
      text.append(EscapeHtml(address));
      return;
    }
    text.append("<a href=\"").append(EscapeHtml(target)).append("\">");
    text.append(EscapeHtml(address)).append("</a>");
  }
  bool Flush() {
    if (out && !text.empty()) out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
    return static_cast<bool>(out);
  }

private:
  std::ostream& out;
  std::string text;
};

}  // namespace

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': escaped.append("&amp;"); break;
      case '<': escaped.append("&lt;"); break;
      case '>': escaped.append("&gt;"); break;
      case '"': escaped.append("&quot;"); break;
      case '\'': escaped.append("&#39;"); break;
      default: escaped.push_back(c);
    }
  }
  return escaped;
}

std::string LinkTarget(std::string_view address) {
  for (std::string_view scheme : {"http://", "https://", "ftp://"})
    if (StartsWithNoCase(address, scheme)) return std::string(address);
  // A drive path ("C:\site\a.html") or a share ("\\server\site\a.html").
  const bool drive = address.size() > 2 && LowerChar(address[0]) >= 'a' && LowerChar(address[0]) <= 'z' && address[1] == ':' &&
                     (address[2] == '\\' || address[2] == '/');
  const bool share = address.size() > 2 && address[0] == '\\' && address[1] == '\\';
  if (!drive && !share) return {};
  std::string url = drive ? "file:///" : "file:";
  for (char c : address) {
    switch (c) {
      case '\\': url.push_back('/'); break;
      case '%': url.append("%25"); break;
      case ' ': url.append("%20"); break;
      case '#': url.append("%23"); break;
      case '?': url.append("%3F"); break;
      default: url.push_back(c);
    }
  }
  return url;
}

bool WriteBrokenLinksPage(const BrokenLinks& found, std::string_view time, std::ostream& out) {
  PageWriter page(out);
  page << "<!DOCTYPE html>";
  page.End();
  page << "<html><head><title>Broken links of " << EscapeHtml(found.startUrl) << "</title>";
  page.End();
  page << "<style>body{font-family:sans-serif;margin:1.5em}table{border-collapse:collapse}"
          "th,td{border:1px solid #999;padding:.3em .5em;text-align:left;vertical-align:top}"
          "th{background:#eee}td{word-break:break-all}</style></head><body>";
  page.End();
  page << "<h1>Broken links of ";
  page.Address(found.startUrl);
  page << "</h1>";
  page.End();
  page << "<p>Made " << EscapeHtml(time) << " by " << StringText(IDS_APP_TITLE) << ".</p>";
  page.End();
  page << "<p>" << Count(found.addressesRead, "address", "addresses") << " read, "
       << Count(found.broken.size(), "broken address", "broken addresses") << ", "
       << Count(found.links, "link", "links") << " to them. "
       << Count(found.notChecked, "linked address was", "linked addresses were")
       << " not checked: outside the domain, past the depth or the page limit, e-mail links, "
          "or not read because the reading was aborted.</p>";
  page.End();
  if (found.broken.empty()) {
    page << "<p>No broken links: every address read was read without an error.</p>";
    page.End();
  } else {
    page << "<table><tr><th>Broken address</th><th>Why</th><th>Pages that link to it</th></tr>";
    page.End();
    for (const BrokenAddress& broken : found.broken) {
      page << "<tr class=\"broken\"><td>";
      page.Address(broken.address);
      page << "</td><td>" << EscapeHtml(broken.reason) << "</td><td>";
      if (broken.linkedFrom.empty()) page << "(the start address)";
      for (size_t i = 0; i < broken.linkedFrom.size(); ++i) {
        if (i) page << "<br>";
        page.Address(broken.linkedFrom[i]);
      }
      page << "</td></tr>";
      page.End();
    }
    page << "</table>";
    page.End();
  }
  page << "</body></html>";
  page.End();
  return page.Flush() && static_cast<bool>(out.flush());
}
