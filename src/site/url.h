// URL rules: classification, normalisation, resolution, FTP parts and the domain key.
// Plain substring tests on the lower-cased text, not URL parsing.
#pragma once
#include <string>
#include <string_view>

#include "common/text.h"

enum class UrlKind { LocalFile, Ftp, Http };

// The longest URL the platform's internet functions take.
constexpr size_t kMaxUrlLength = 2083;

// True when the text, taken as a file path, opens for reading as a regular file.
bool IsLocalFile(const std::string& text);

// A URL as browsers send it: blanks, control bytes, bytes from 0x7F on and " < > ` as %XX.
// A "%" is never encoded, so an existing escape stays and encoding twice changes nothing.
std::string EncodeUrl(std::string url);
// Each %XX as its byte, other text unchanged: the name a file or an FTP path has.
std::string DecodeUrl(std::string_view text);

// The URL comes out encoded (EncodeUrl); a local file is left as it is.
void NormalizeUrl(std::string& url);
// NormalizeUrl without its local-file test, for a URL that must not be opened as a file.
void NormalizeRemoteUrl(std::string& url);
// The result is encoded (EncodeUrl).
std::string CombineUrl(std::string_view base, std::string_view relative);
// A local result is a path the file system names (escapes decoded), a web one is encoded.
std::string CombineLocal(std::string_view basePath, std::string_view link);
std::string DirectoryOfPath(std::string_view path);
std::string FtpHostOf(std::string_view url);
// Decoded, as the server names the folder.
std::string FtpPathOf(std::string_view url);
// The domain key; for a host written as an IPv4 address, the whole address.
std::string DomainOf(const std::string& url);
