#include "crawler/read_failure.h"

#include "common/strings.h"

namespace {

// A server's text on one line of at most kMaxReasonLength characters: line breaks and other
// controls become blanks, and blanks at either end go.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) {
    if (line.size() == kMaxReasonLength) break;
    const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
    if (control || c == ' ') {
      if (!line.empty() && line.back() != ' ') line.push_back(' ');
    } else {
      line.push_back(c);
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace

std::string ClientErrorReason(unsigned long error) {
  int id = 0;
  switch (error) {
    case 12002: id = IDS_WHY_TIMEOUT; break;                // ERROR_INTERNET_TIMEOUT
    case 12005:                                             // ERROR_INTERNET_INVALID_URL
    case 12006: id = IDS_WHY_INVALID_URL; break;            // ERROR_INTERNET_UNRECOGNIZED_SCHEME
    case 12007: id = IDS_WHY_NAME_NOT_RESOLVED; break;      // ERROR_INTERNET_NAME_NOT_RESOLVED
    case 12013:                                             // ERROR_INTERNET_INCORRECT_USER_NAME
    case 12014:                                             // ERROR_INTERNET_INCORRECT_PASSWORD
    case 12015: id = IDS_WHY_LOGIN; break;                  // ERROR_INTERNET_LOGIN_FAILURE
    case 12017: id = IDS_WHY_ABORTED; break;                // ERROR_INTERNET_OPERATION_CANCELLED
    case 12029: id = IDS_WHY_REFUSED; break;                // ERROR_INTERNET_CANNOT_CONNECT
    case 12030:                                             // ERROR_INTERNET_CONNECTION_ABORTED
    case 12031:                                             // ERROR_INTERNET_CONNECTION_RESET
    case 12111: id = IDS_WHY_CONNECTION_BROKEN; break;      // ERROR_FTP_DROPPED
    case 12037: id = IDS_WHY_CERTIFICATE_DATE; break;       // ERROR_INTERNET_SEC_CERT_DATE_INVALID
    case 12038: id = IDS_WHY_CERTIFICATE_NAME; break;       // ERROR_INTERNET_SEC_CERT_CN_INVALID
    case 12045:                                             // ERROR_INTERNET_INVALID_CA
    case 12055:                                             // ERROR_INTERNET_SEC_CERT_ERRORS
    case 12056:                                             // ERROR_INTERNET_SEC_CERT_NO_REV
    case 12057:                                             // ERROR_INTERNET_SEC_CERT_REV_FAILED
    case 12169:                                             // ERROR_INTERNET_SEC_INVALID_CERT
    case 12170: id = IDS_WHY_CERTIFICATE; break;            // ERROR_INTERNET_SEC_CERT_REVOKED
    case 12157: id = IDS_WHY_SECURE_CHANNEL; break;         // ERROR_INTERNET_SECURITY_CHANNEL_ERROR
    case 12152: id = IDS_WHY_BAD_REPLY; break;              // ERROR_HTTP_INVALID_SERVER_RESPONSE
    default: return StringTextWithNumber(IDS_WHY_CLIENT_ERROR, static_cast<int>(error));
  }
  return StringText(id);
}

std::string HttpStatusReason(unsigned status, std::string_view phrase) {
  std::string reason = std::to_string(status);
  std::string text = OneLine(phrase);
  if (!text.empty()) reason += ' ' + text;
  return reason.substr(0, kMaxReasonLength);
}

std::string FtpFailureReason(unsigned long error, std::string_view serverReply) {
  std::string reply = OneLine(serverReply);
  if (!reply.empty() && (reply[0] == '4' || reply[0] == '5')) return reply;
  return ClientErrorReason(error);
}
