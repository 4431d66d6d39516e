#pragma once
// The text of a handled exception as the children print it: the JSON library's
// "[json.exception.<kind>.<id>] " head is dropped, so the line reads "type must be boolean, ...".
#include <exception>
#include <string>

std::string ExceptionText(const std::exception& e);
