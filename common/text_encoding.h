#pragma once
// Text that comes from outside (firmware tables, driver libraries, other programs) on its way into
// a JSON answer, which must be UTF-8.
#include <string>

// Each byte as the character of that number (Latin-1), in UTF-8: a byte of 0x80 or above becomes
// its two-byte form.
std::string Latin1AsUtf8(const std::string& bytes);

// Well-formed UTF-8 sequences pass unchanged; every other byte (a lone continuation byte, a cut
// sequence, an overlong form, a surrogate, a code point above U+10FFFF) becomes its Latin-1
// character in UTF-8. The result is always valid UTF-8, and valid UTF-8 comes back as it was.
std::string Utf8OrLatin1(const std::string& bytes);
