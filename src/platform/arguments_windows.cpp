#include <windows.h>

#include "platform/arguments.h"

namespace fennick {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The command line split as the C runtime splits it for argv: the
// program's name up to a blank or between quotes; then words between
// blanks, where quotes group, 2n backslashes before a quote give n and the
// quote groups, 2n+1 give n and a quote, and other backslashes stay.
std::vector<std::wstring> SplitCommandLine(const wchar_t* p) {
  std::vector<std::wstring> words(1);
  if (*p == L'"') {
    for (++p; *p && *p != L'"'; ++p) words[0] += *p;
    if (*p) ++p;
  } else {
    for (; *p && !IsBlank(*p); ++p) words[0] += *p;
  }
  for (;;) {
    while (IsBlank(*p)) ++p;
    if (!*p) return words;
    std::wstring word;
    bool quoted = false;
    while (*p && (quoted || !IsBlank(*p))) {
      size_t backslashes = 0;
      for (; *p == L'\\'; ++p) ++backslashes;
      if (*p != L'"') {
        word.append(backslashes, L'\\');
        if (*p && (quoted || !IsBlank(*p))) word += *p++;
        continue;
      }
      word.append(backslashes / 2, L'\\');
      if (backslashes % 2 == 1) {
        word += *p++;
      } else if (quoted && p[1] == L'"') {
        word += L'"';
        p += 2;
      } else {
        quoted = !quoted;
        ++p;
      }
    }
    words.push_back(word);
  }
}

std::string InCodePage(UINT page, const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(page, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(page, 0, wide.data(), size, &text[0], length, nullptr, nullptr);
  return text;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  const std::vector<std::wstring> wide = SplitCommandLine(GetCommandLineW());
  if (wide.size() != args.size()) return args;
  for (size_t i = 0; i < args.size(); ++i) {
    // Only where the runtime read the same word, in its ANSI letters.
    if (InCodePage(CP_ACP, wide[i]) == args[i]) args[i] = InCodePage(CP_UTF8, wide[i]);
  }
  return args;
}

}  // namespace fennick
