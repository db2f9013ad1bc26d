#pragma once
// A calendar text that is not read: the reason names the file or source and the line.
#include <stdexcept>

namespace ical {

class Refused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace ical
