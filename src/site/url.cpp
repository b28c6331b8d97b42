// URL rules. Everything here is a plain string function except IsLocalFile.
#include "site/url.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include <sys/stat.h>

#include "site/labels.h"

namespace {

bool NeedsEncoding(unsigned char c) { return c <= ' ' || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') return (c | 0x20) - 'a' + 10;
  return -1;
}

// RFC 3986 section 3.1: ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ).
bool IsSchemeChar(char c, bool first) {
  bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The five components of RFC 3986 section 3 (Appendix B split, scheme checked strictly).
struct UriParts {
  std::optional<std::string_view> scheme;
  std::optional<std::string_view> authority;
  std::string_view path;
  std::optional<std::string_view> query;
  std::optional<std::string_view> fragment;
};

size_t SchemeLength(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] != ':' && text[i] != '/' && text[i] != '?' && text[i] != '#') {
    if (!IsSchemeChar(text[i], i == 0)) return 0;
    ++i;
  }
  if (i == 0 || i >= text.size() || text[i] != ':') return 0;
  return i;
}

UriParts SplitUri(std::string_view text) {
  UriParts parts;
  size_t schemeLength = SchemeLength(text);
  if (schemeLength > 0) {
    parts.scheme = text.substr(0, schemeLength);
    text.remove_prefix(schemeLength + 1);
  }
  size_t hash = text.find('#');
  if (hash != std::string_view::npos) {
    parts.fragment = text.substr(hash + 1);
    text = text.substr(0, hash);
  }
  size_t question = text.find('?');
  if (question != std::string_view::npos) {
    parts.query = text.substr(question + 1);
    text = text.substr(0, question);
  }
  if (text.size() >= 2 && text[0] == '/' && text[1] == '/') {
    size_t end = text.find('/', 2);
    if (end == std::string_view::npos) end = text.size();
    parts.authority = text.substr(2, end - 2);
    text.remove_prefix(end);
  }
  parts.path = text;
  return parts;
}

// Drops the last segment and its preceding "/" (if any) from the output.
void RemoveLastSegment(std::string& output) {
  size_t slash = output.rfind('/');
  output.erase(slash == std::string::npos ? 0 : slash);
}

// RFC 3986 section 5.2.4.
std::string RemoveDotSegments(std::string_view input) {
  std::string output;
  output.reserve(input.size());
  while (!input.empty()) {
    if (input.substr(0, 3) == "../") {
      input.remove_prefix(3);
    } else if (input.substr(0, 2) == "./") {
      input.remove_prefix(2);
    } else if (input.substr(0, 3) == "/./") {
      input.remove_prefix(2);  // leaves the third "/" in front
    } else if (input == "/.") {
      input = "/";
    } else if (input.substr(0, 4) == "/../") {
      input.remove_prefix(3);
      RemoveLastSegment(output);
    } else if (input == "/..") {
      input = "/";
      RemoveLastSegment(output);
    } else if (input == "." || input == "..") {
      input = {};
    } else {
      size_t end = input.find('/', input[0] == '/' ? 1 : 0);
      if (end == std::string_view::npos) end = input.size();
      output.append(input.substr(0, end));
      input.remove_prefix(end);
    }
  }
  return output;
}

// RFC 3986 section 5.2.3.
std::string MergePaths(const UriParts& base, std::string_view relativePath) {
  std::string merged;
  if (base.authority && base.path.empty()) {
    merged = "/";
  } else {
    size_t slash = base.path.rfind('/');
    if (slash != std::string_view::npos) merged.assign(base.path.substr(0, slash + 1));
  }
  merged.append(relativePath);
  return merged;
}

// RFC 3986 section 5.3.
std::string Recompose(std::optional<std::string_view> scheme, std::optional<std::string_view> authority,
                      std::string_view path, std::optional<std::string_view> query,
                      std::optional<std::string_view> fragment) {
  std::string result;
  result.reserve((scheme ? scheme->size() + 1 : 0) + (authority ? authority->size() + 2 : 0) + path.size() +
                 (query ? query->size() + 1 : 0) + (fragment ? fragment->size() + 1 : 0));
  if (scheme) result.append(*scheme).push_back(':');
  if (authority) result.append("//").append(*authority);
  result.append(path);
  if (query) result.append("?").append(*query);
  if (fragment) result.append("#").append(*fragment);
  return result;
}

std::string SlashesToBackslashes(std::string text) {
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

std::string BackslashesToSlashes(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c == '\\') c = '/';
  return result;
}

bool IsDriveSpec(std::string_view text) {
  return text.size() >= 2 && text[1] == ':' && ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'));
}

// A file URL as a local path: "file:///C:/a%20b.html" -> "C:\a b.html", "file://server/s/x" -> "\\server\s\x".
std::string LocalPathOfFileUrl(std::string_view url) {
  const std::string decoded = DecodeUrl(url.substr(7));
  std::string_view rest = decoded;
  if (rest.size() >= 3 && rest[0] == '/' && IsDriveSpec(rest.substr(1))) rest.remove_prefix(1);
  else if (!rest.empty() && rest[0] != '/') return "\\\\" + SlashesToBackslashes(std::string(rest));
  return SlashesToBackslashes(std::string(rest));
}

// A relative link against a local directory, resolved in the file system's own terms (see CombineLocal).
std::string CombineLocalRelative(std::string_view directory, std::string_view link) {
  // The directory splits into a root ("C:", "\\server" or nothing) and a path in "/" form.
  std::string dir = BackslashesToSlashes(directory);
  std::string root;
  std::string_view dirPath = dir;
  if (IsDriveSpec(dirPath)) {
    root.assign(dirPath.substr(0, 2));
    dirPath.remove_prefix(2);
  } else if (dirPath.substr(0, 2) == "//") {
    size_t end = dirPath.find('/', 2);
    if (end == std::string_view::npos) end = dirPath.size();
    root.assign(dirPath.substr(0, end));
    dirPath.remove_prefix(end);
  }
  // A file name has no query and no fragment: both go, so "a.html#top" opens a.html.
  std::string_view linkPath = link.substr(0, link.find_first_of("?#"));
  std::string ref = BackslashesToSlashes(DecodeUrl(linkPath));

  std::string resolved;
  if (ref.substr(0, 2) == "//") {
    root.clear();  // a network-path reference: "//server/share/x" -> "\\server\share\x"
    resolved = RemoveDotSegments(ref.substr(1));
    resolved.insert(0, "/");
  } else if (!ref.empty() && ref[0] == '/') {
    resolved = RemoveDotSegments(ref);
  } else {
    bool relativeDir = dirPath.empty() || dirPath[0] != '/';
    std::string merged;
    size_t slash = dirPath.rfind('/');
    if (relativeDir) merged = "/";  // resolved as if rooted, so ".." cannot climb above it
    if (slash != std::string_view::npos) merged.append(dirPath.substr(0, slash + 1));
    merged.append(ref);
    resolved = RemoveDotSegments(merged);
    if (relativeDir && !resolved.empty() && resolved[0] == '/') resolved.erase(0, 1);
  }
  return SlashesToBackslashes(root + resolved);
}

// The host of a URL with or without a scheme: after "//" (or from the start), after any
// user name, up to the port, path, query or fragment.
std::string_view HostOf(std::string_view url) {
  size_t start = url.find("//");
  start = start == std::string_view::npos ? 0 : start + 2;
  size_t end = url.find_first_of("/?#", start);
  std::string_view host = url.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  size_t at = host.rfind('@');
  if (at != std::string_view::npos) host.remove_prefix(at + 1);
  return host.substr(0, host.find(':'));
}

// Four decimal parts of 0 to 255, dot-separated.
bool IsIpv4Address(std::string_view host) {
  int parts = 0;
  while (!host.empty()) {
    size_t digits = 0;
    unsigned value = 0;
    while (digits < host.size() && digits < 4 && host[digits] >= '0' && host[digits] <= '9')
      value = value * 10 + unsigned(host[digits++] - '0');
    if (digits == 0 || digits > 3 || value > 255) return false;
    host.remove_prefix(digits);
    ++parts;
    if (host.empty()) break;
    if (host[0] != '.' || host.size() == 1) return false;
    host.remove_prefix(1);
  }
  return parts == 4;
}

// RFC 3986 section 5.2.2, without encoding.
std::string ResolveUrl(std::string_view base, std::string_view relative) {
  if (relative.empty()) return std::string(base);
  UriParts r = SplitUri(relative);
  if (r.scheme) return Recompose(r.scheme, r.authority, RemoveDotSegments(r.path), r.query, r.fragment);
  UriParts b = SplitUri(base);
  if (r.authority) return Recompose(b.scheme, r.authority, RemoveDotSegments(r.path), r.query, r.fragment);
  if (r.path.empty()) return Recompose(b.scheme, b.authority, b.path, r.query ? r.query : b.query, r.fragment);
  std::string path = (r.path[0] == '/') ? RemoveDotSegments(r.path) : RemoveDotSegments(MergePaths(b, r.path));
  return Recompose(b.scheme, b.authority, path, r.query, r.fragment);
}

}  // namespace


bool IsLocalFile(const std::string& text) {
  if (text.empty() || std::memchr(text.data(), '\0', text.size())) return false;
  std::FILE* file = std::fopen(text.c_str(), "rb");
  if (!file) return false;
  // Only a regular file: a link named like a device ("aux.html" on Windows) would open the
  // device, and reading it blocks the crawl. A directory opens here too, not on Windows.
  struct stat info {};
  bool regular = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
  std::fclose(file);
  return regular;
}

std::string EncodeUrl(std::string url) {
  size_t first = 0;
  while (first < url.size() && !NeedsEncoding(static_cast<unsigned char>(url[first]))) ++first;
  if (first == url.size()) return url;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded(url, 0, first);
  encoded.reserve(url.size() + 16);
  for (size_t i = first; i < url.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(url[i]);
    if (!NeedsEncoding(c)) {
      encoded.push_back(static_cast<char>(c));
      continue;
    }
    encoded.push_back('%');
    encoded.push_back(kHex[c >> 4]);
    encoded.push_back(kHex[c & 15]);
  }
  return encoded;
}

std::string DecodeUrl(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    int high, low;
    if (text[i] == '%' && i + 2 < text.size() && (high = HexValue(text[i + 1])) >= 0 && (low = HexValue(text[i + 2])) >= 0) {
      decoded.push_back(static_cast<char>(high * 16 + low));
      i += 2;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

void NormalizeUrl(std::string& url) {
  if (IsLocalFile(url)) return;
  NormalizeRemoteUrl(url);
}

void NormalizeRemoteUrl(std::string& url) {
  url = EncodeUrl(std::move(url));
  if (LooksLikeFtpUrl(url)) return;
  if (LooksLikeFtpSite(url)) {
    url.insert(0, "ftp://");
    return;
  }
  if (!ContainsNoCase(url, "http")) url.insert(0, "http://");
  size_t hash = url.find('#');
  if (hash != std::string::npos) url.erase(hash);
}

std::string CombineUrl(std::string_view base, std::string_view relative) { return EncodeUrl(ResolveUrl(base, relative)); }

std::string DirectoryOfPath(std::string_view path) {
  if (path.empty()) return std::string();
  size_t slash = path.rfind('\\');
  if (slash == std::string_view::npos) return std::string(path.substr(0, 1));
  return std::string(path.substr(0, slash + 1));
}

std::string CombineLocal(std::string_view basePath, std::string_view link) {
  // Two dots after the last "/" make it a host name or web address.
  int dots = 0;
  for (size_t i = link.size(); i > 0 && link[i - 1] != '/'; --i)
    if (link[i - 1] == '.') ++dots;
  if (dots >= 2) {
    std::string url(link);
    NormalizeUrl(url);
    return url;
  }
  // A link with a scheme of its own (two letters or more: "C:" is a drive)
  // is resolved as a URL and stays as written; a file URL becomes a local path. Anything
  // else is resolved against the page's directory as a path that opens.
  std::string directory = DirectoryOfPath(basePath);
  if (link.empty()) return directory;  // an empty reference yields the base
  size_t schemeLength = SchemeLength(link);
  if (schemeLength >= 2) {
    std::string result = CombineUrl(directory, link);
    if (StartsWithNoCase(result, "file://")) return LocalPathOfFileUrl(result);
    return result;
  }
  if (IsDriveSpec(link)) return SlashesToBackslashes(DecodeUrl(link));
  return CombineLocalRelative(directory, link);
}

std::string FtpHostOf(std::string_view url) {
  if (StartsWithNoCase(url, "ftp://")) url.remove_prefix(6);
  size_t slash = url.find('/');
  return std::string(url.substr(0, slash));
}

std::string FtpPathOf(std::string_view url) {
  int slashes = 0;
  for (size_t i = 0; i < url.size(); ++i) {
    if (url[i] == '/' && ++slashes == 3) return DecodeUrl(url.substr(i));
  }
  return std::string();
}

std::string DomainOf(const std::string& url) {
  if (IsLocalFile(url)) return DirectoryOfPath(url);
  // The last two dotted parts of an address are no domain ("127.0.0.1" gave "0").
  std::string_view host = HostOf(url);
  if (IsIpv4Address(host)) return std::string(host);
  // A host without a dot ("localhost", "intranet") is its own key: the dotted rule below would
  // take the key from the path and keep the crawl from following almost anything.
  if (url.find("://") != std::string::npos && !host.empty() && host.find('.') == std::string_view::npos)
    return std::string(host);
  size_t firstDot = url.find('.');
  if (firstDot == std::string::npos) return std::string();
  size_t end = url.find('/', firstDot);
  if (end == std::string::npos) end = url.size() - 1;
  size_t last = url.rfind('.', end);  // found: firstDot <= end
  size_t start = last;                // one past the stop
  while (start > 0 && url[start - 1] != '.' && url[start - 1] != '@') --start;
  return url.substr(start, last - start);
}
