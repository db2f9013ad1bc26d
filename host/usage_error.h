#pragma once
// Bad input from the command line: one clear line on stderr and exit status 2.
#include <stdexcept>

namespace host {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace host
