// Which address of a shape's link may be opened. The link's text is a command line that ends
// with the address; the command part is never run, and the address is opened only when it is
// a web, FTP or e-mail address or a local HTML page, since it comes from pages on the web.
#pragma once

#include <string>

enum class LinkKind { None, Web, Mail, LocalPage };

struct LinkTarget {
  LinkKind kind = LinkKind::None;
  std::string address;  // as it is handed to the shell; spaces in a URL are escaped as %20
};

// The address at the end of the link's text (after the program, quoted or not, that the client
// put before it), or the link's own address when the text ends with it. A local page's
// existence is for the caller to check.
LinkTarget LinkToOpen(const std::string& linkText, const std::string& linkAddress);
