#include "common/exception_text.h"

#include <nlohmann/json.hpp>

std::string ExceptionText(const std::exception& e) {
  std::string text = e.what();
  if (dynamic_cast<const nlohmann::json::exception*>(&e) != nullptr && !text.empty() &&
      text[0] == '[') {
    const std::string::size_type end = text.find("] ");
    if (end != std::string::npos) text.erase(0, end + 2);
  }
  return text;
}
