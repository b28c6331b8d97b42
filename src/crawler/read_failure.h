// Why a reading failed, in the words the status list and the broken-links report show: an HTTP
// error as the server sent it, the internet client's error in words, an FTP server's refusal.
#pragma once
#include <string>
#include <string_view>

// Longer texts from a server are cut here: a reason is one line of a list.
inline constexpr size_t kMaxReasonLength = 200;

// The client's error code of a failed request in words ("name not resolved", "connection
// refused"); a code without words of its own is given by number.
std::string ClientErrorReason(unsigned long error);
// An HTTP error reply as the server sent it: "404 Not Found", or "404" without a phrase.
std::string HttpStatusReason(unsigned status, std::string_view phrase);
// The FTP server's reply when it said no (a 4xx or 5xx reply), else the client's error in words.
std::string FtpFailureReason(unsigned long error, std::string_view serverReply);
