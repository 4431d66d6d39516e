#pragma once
// What a fake driver library answers: a description file that the test writes beside the library.
#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

// The description beside the library that holds address; an empty object when there is none.
nlohmann::json ReadAnswersBeside(const void* addressInLibrary, const char* fileName);

// Copies text into a zeroed array of capacity bytes, each character up to U+00FF as the one byte
// of its number; a text that fills it keeps no terminator, as a library that breaks its promise
// would leave it.
void CopyAnswerText(char* array, size_t capacity, const std::string& text);
