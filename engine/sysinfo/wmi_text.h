#pragma once
// Text conversions and splitting used by the WMI layer and its callers.
#include <string>
#include <vector>

// Bytes in the given code page to UTF-16, over exactly the text's bytes.
std::wstring MultiByteToWide(const std::string& text, unsigned codePage);
// UTF-16 to bytes in the given code page, over exactly the text's units.
std::string WideToMultiByte(const std::wstring& text, unsigned codePage);
// UTF-8 bytes to UTF-16, over exactly the text's bytes.
std::wstring Utf8ToWide(const std::string& text);
// A null-terminated UTF-16 text (or null) to UTF-8; target is overwritten, empty for null.
void WideToUtf8(const wchar_t* source, std::string& target);
// Appends the parts of text between any of the delimiter bytes; empty parts are kept.
void SplitAny(const std::string& text, std::vector<std::string>& pieces,
              const std::string& delimiters);
// A result code as the WMI layer prints it: "0x" and eight hex digits.
std::string ResultCodeText(long code);
