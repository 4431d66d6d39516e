#pragma once
// URL- and filename-safe base64 with "*" as the padding character.
#include <cstddef>
#include <string>

extern const std::string base64UrlAlphabet;

std::string Base64UrlEncode(const unsigned char* bytes, size_t length);
