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

}  // namespace testing_support
