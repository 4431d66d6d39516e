#include "gputest/framework/command_line.h"

#include <cwctype>
#include <vector>

namespace {
std::vector<std::wstring> SplitArguments(const std::wstring& commandLine) {
  std::vector<std::wstring> words;
  std::wstring word;
  bool quoted = false, inWord = false;
  for (wchar_t c : commandLine) {
    if (c == L'"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == L' ' || c == L'\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// A decimal number, optionally negative, that fits an int; false for anything else.
bool ReadNumber(const std::wstring& text, int* value) {
  if (text.empty()) return false;
  size_t i = text[0] == L'-' ? 1 : 0;
  if (i == text.size()) return false;
  long long number = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
    number = number * 10 + (text[i] - L'0');
    if (number > 0x7FFFFFFFLL) return false;
  }
  *value = static_cast<int>(text[0] == L'-' ? -number : number);
  return true;
}
}  // namespace

FrameworkOverrides ParseFrameworkCommandLine(const std::wstring& commandLine) {
  FrameworkOverrides overrides;
  const std::vector<std::wstring> words = SplitArguments(commandLine);
  for (size_t w = 1; w < words.size(); ++w) {
    const std::wstring& word = words[w];
    if (word.size() < 2 || (word[0] != L'-' && word[0] != L'/')) continue;
    const size_t colon = word.find(L':');
    const std::wstring flag = Lower(word.substr(1, colon == std::wstring::npos ? std::wstring::npos
                                                                               : colon - 1));
    const std::wstring value = colon == std::wstring::npos ? L"" : word.substr(colon + 1);
    struct NumberFlag {
      const wchar_t* name;
      int FrameworkOverrides::*field;
    };
    static const NumberFlag numberFlags[] = {
        {L"adapter", &FrameworkOverrides::adapterOverride},
        {L"output", &FrameworkOverrides::outputOverride},
        {L"width", &FrameworkOverrides::widthOverride},
        {L"height", &FrameworkOverrides::heightOverride},
        {L"forceapi", &FrameworkOverrides::forceApi},
        {L"forcevsync", &FrameworkOverrides::forceVsync},
    };
    struct SwitchFlag {
      const wchar_t* name;
      bool FrameworkOverrides::*field;
    };
    static const SwitchFlag switchFlags[] = {
        {L"fullscreen", &FrameworkOverrides::fullScreen},
        {L"windowed", &FrameworkOverrides::windowed},
        {L"forcehal", &FrameworkOverrides::forceHal},
        {L"forceref", &FrameworkOverrides::forceRef},
        {L"forcepurehwvp", &FrameworkOverrides::forcePureHwvp},
        {L"forcehwvp", &FrameworkOverrides::forceHwvp},
        {L"forceswvp", &FrameworkOverrides::forceSwvp},
        {L"noerrormsgboxes", &FrameworkOverrides::noErrorMessageBoxes},
    };
    for (const NumberFlag& f : numberFlags) {
      int number = 0;
      if (flag == f.name && ReadNumber(value, &number)) overrides.*f.field = number;
    }
    for (const SwitchFlag& f : switchFlags) {
      if (flag == f.name && colon == std::wstring::npos) overrides.*f.field = true;
    }
  }
  return overrides;
}
