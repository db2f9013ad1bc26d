#pragma once
// Work done in a child process, as another member's program would do it.
#include <functional>

namespace testing_support {

// True when work ran to its end without throwing.
bool InAnotherProcess(const std::function<void()>& work);

}  // namespace testing_support
