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

void NormalizeUrl(std::string& url);
// NormalizeUrl without its local-file test, for a URL that must not be opened as a file.
void NormalizeRemoteUrl(std::string& url);
std::string CombineUrl(std::string_view base, std::string_view relative);
std::string CombineLocal(std::string_view basePath, std::string_view link);
std::string DirectoryOfPath(std::string_view path);
std::string FtpHostOf(std::string_view url);
std::string FtpPathOf(std::string_view url);
// The domain key; for a host written as an IPv4 address, the whole address.
std::string DomainOf(const std::string& url);
