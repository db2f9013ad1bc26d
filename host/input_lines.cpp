#include "host/input_lines.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace host {

InputLines::InputLines(int fd, std::function<void()> arrived) : fd_(fd), arrived_(std::move(arrived)) {
  if (::pipe2(wake_, O_CLOEXEC) != 0) throw std::runtime_error(std::string("cannot read input: ") + std::strerror(errno));
  reader_ = std::jthread([this](std::stop_token stop) { Read(stop); });
}

InputLines::~InputLines() {
  reader_.request_stop();
  const char c = 0;
  while (::write(wake_[1], &c, 1) < 0 && errno == EINTR) {
  }
  reader_.join();
  ::close(wake_[0]);
  ::close(wake_[1]);
}

void InputLines::Read(const std::stop_token& stop) {
  std::string pending;
  char buf[4096];
  for (;;) {
    pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) break;
    if (stop.stop_requested()) return;
    if (fds[0].revents == 0) continue;
    const ssize_t n = ::read(fd_, buf, sizeof buf);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;  // the end, or input that cannot be read: both end the run
    pending.append(buf, static_cast<size_t>(n));
    for (size_t newline; (newline = pending.find('\n')) != std::string::npos;) {
      Queue(pending.substr(0, newline));
      pending.erase(0, newline + 1);
    }
  }
  if (!pending.empty()) Queue(pending);  // a last line without its newline
  End();
}

void InputLines::Queue(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  {
    std::lock_guard lock(mutex_);
    if (closed_) return;
    lines_.push_back(std::move(line));
  }
  ready_.notify_all();
  arrived_();
}

void InputLines::End() {
  {
    std::lock_guard lock(mutex_);
    ended_ = true;
  }
  ready_.notify_all();
  arrived_();
}

std::optional<std::string> InputLines::Next() {
  std::unique_lock lock(mutex_);
  ready_.wait(lock, [this] { return closed_ || ended_ || !lines_.empty(); });
  return Take();
}

std::optional<std::string> InputLines::TryNext() {
  std::lock_guard lock(mutex_);
  return Take();
}

std::optional<std::string> InputLines::Take() {
  if (closed_ || lines_.empty()) return std::nullopt;
  std::string line = std::move(lines_.front());
  lines_.pop_front();
  return line;
}

bool InputLines::Finished() {
  std::lock_guard lock(mutex_);
  return closed_ || (ended_ && lines_.empty());
}

void InputLines::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    lines_.clear();
  }
  ready_.notify_all();
}

}  // namespace host
