#include <iostream>
#include <string>
#include <vector>

#include "child_frame.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return RunRamBenchChild(args, std::cin, std::cout);
}
