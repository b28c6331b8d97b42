#include "retractor/manifest_reader.h"

#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

// Reads a manifest with the operand form each command letter takes and writes down
// what came out: [line operand], {NAME|path}, "-" for a refused or empty operand.
std::string Trace(const std::string& text) {
  StringTextFile file(text, 7);  // small reads cross buffer refills, also inside CR LF
  ManifestReader reader(file);
  int count = 0;
  std::string out = reader.ReadCount(&count) ? std::to_string(count) : "?";
  char c;
  while (reader.ReadCommandWord(&c)) {
    out += " ";
    out += c;
    switch (c) {
      case '/': case 'A': case 'C': case 'U': case 'D': case 'K': {
        auto operand = reader.ReadLineOperand();
        out += operand ? "[" + *operand + "]" : "-";
        break;
      }
      case 'F': case 'N': case 'S': {
        auto operand = reader.ReadVariableOperand(c == 'S' ? PathExtent::OneWord : PathExtent::RestOfLine);
        out += operand ? "{" + operand->name + "|" + operand->path + "}" : "-";
        break;
      }
      default:
        break;
    }
  }
  return out;
}

struct Case {
  const char* what;
  std::string text;
  std::string trace;
};

TEST(ManifestReader, ReadsAsFormattedInputDoes) {
  using namespace std::string_literals;
  const std::string x259(259, 'x');
  const std::string x260(260, 'x');
  const Case cases[] = {
      {"example", "7\n/ Viewer 1.0\nA Viewer\nU %APPDIR%\\viewreg.dll Unregister\nF %APPDIR%\\Read Me.txt\n"
                  "S %SYSDIR%\\viewctl.dll\nD %APPDIR%\\Help\nN %GROUP%Viewer\n",
       "7 /[Viewer 1.0] A[Viewer] U[%APPDIR%\\viewreg.dll Unregister] F{APPDIR|\\Read Me.txt} "
       "S{SYSDIR|\\viewctl.dll} D[%APPDIR%\\Help] N{GROUP|Viewer}"},
      {"CR LF lines", "2\r\nF %A%\\x y.txt\r\nK Machine \"k\"\r\n", "2 F{A|\\x y.txt} K[Machine \"k\"]"},
      {"lower-case word skipped alone", "1\nf K Machine \"x\"\n", "1 f K[Machine \"x\"]"},
      {"rest of the word ignored", "2\nFiles %A%\\x\nKill Root \"y\"\n", "2 F{A|\\x} K[Root \"y\"]"},
      {"S takes one word and one character", "1\nS %S%\\a.dll K Machine \"x\"\n", "1 S{S|\\a.dll} K[Machine \"x\"]"},
      {"space before the path skipped", "1\nF %A%   \\x y\n", "1 F{A|\\x y}"},
      {"blank lines and trailing space", "\n\n 3\n\n\nD %A%\\d\n\n   \n\n", "3 D[%A%\\d]"},
      {"no count", "F %A%\\x\n", "? F{A|\\x}"},
      {"negative count", "-5\n/ c\n", "-5 /[c]"},
      {"count saturates", "99999999999 / c\n", "2147483647 /[c]"},
      {"nothing after the command word", "2\nA\nC\n", "2 A- C-"},
      {"separator only", "1\nA \n", "1 A[]"},
      {"no line feed at the end", "1\nF %A%\\x", "1 F{A|\\x}"},
      {"end of file after NAME", "1\nF %A%", "1 F-"},
      {"percent glued to F: next line read as command", "2\nF%A%\\x\nK Machine \"z\"\n", "2 F- K[Machine \"z\"]"},
      {"no %NAME%: line skipped", "2\nF C:\\x.txt K\nD %A%\\d\n", "2 F- D[%A%\\d]"},
      {"NAME not closed on its line", "2\nF %A\\x\nD %A%\\d\n", "2 F- D[%A%\\d]"},
      {"empty NAME", "2\nF %%\\x\nD %A%\\d\n", "2 F- D[%A%\\d]"},
      {"operand on the next line", "1\nF\n%A%\\x\n", "1 F{A|\\x}"},
      {"line operand of 259", "1\nA " + std::string(258, 'x') + "\n", "1 A[" + std::string(258, 'x') + "]"},
      {"line operand of 260 refused whole", "2\n/ " + x259 + "\nD %A%\\d\n", "2 /- D[%A%\\d]"},
      {"NAME of 259", "1\nF %" + x259 + "%\\p\n", "1 F{" + x259 + "|\\p}"},
      {"NAME of 260 refused", "2\nF %" + x260 + "%\\p\nD %A%\\d\n", "2 F- D[%A%\\d]"},
      {"path of 259", "1\nS %A%" + x259 + "\n", "1 S{A|" + x259 + "}"},
      {"F path of 260 refused", "2\nF %A%" + x260 + " tail\nD %A%\\d\n", "2 F- D[%A%\\d]"},
      {"F path and its remainder over 259", "2\nF %A%" + std::string(200, 'p') + " " + std::string(100, 'q') +
                                               "\nD %A%\\d\n", "2 F- D[%A%\\d]"},
      {"S path of 260: word refused, rest of line read", "2\nS %A%" + x260 + " K Machine \"q\"\n",
       "2 S- K[Machine \"q\"]"},
      // Win32 would read such a text only up to the NUL, so the operand is refused.
      {"NUL in an operand", "4\nK Machine \"\0x\"\nF %\0%\\x y\nS %A%\\a\0b K Root \"y\"\nN %G\0%i\n"s,
       "4 K- F- S- K[Root \"y\"] N-"},
  };
  for (const Case& c : cases) EXPECT_EQ(Trace(c.text), c.trace) << c.what;
}

}  // namespace
