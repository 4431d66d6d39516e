#pragma once
// The text of a handled exception as every program of the suite writes it into a log or error
// line: the JSON library's "[json.exception.<kind>.<id>] " head is dropped, so the line reads
// "type must be string, but is number"; any other exception's text stays as it is.
#include <exception>
#include <string>

std::string ExceptionText(const std::exception& e);
