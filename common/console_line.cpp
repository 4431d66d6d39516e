#include "common/console_line.h"

#include <iostream>
#include <mutex>

#include "common/run_log.h"

void ConsoleLine(const std::string& text) {
  std::lock_guard<std::mutex> lock(logMutex);
  std::cout << text << std::endl;
}
