#pragma once
// Runs the quorvane program as a person would, capturing what it prints.
#include <string>
#include <vector>

namespace testing_support {

struct ProgramResult {
  int status = -1;
  std::string out, err;
};

ProgramResult RunQuorvane(const std::vector<std::string>& args, const std::string& input = "");
// The same with the program on a terminal (through script(1)), where it asks its questions and
// reads input's lines as the answers typed; what it prints and what is typed end up in out.
ProgramResult RunQuorvaneOnTerminal(const std::vector<std::string>& args, const std::string& input);

}  // namespace testing_support
