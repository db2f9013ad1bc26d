#pragma once
// The one reader of standard input while the host runs: a thread reads whole lines into a
// queue, from which the loop's thread takes typed commands and message boxes take answers, so
// an answer is never read as a command nor a command as an answer.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

namespace host {

class InputLines {
 public:
  // Reads fd until its end; arrived runs on the reader's thread after each line is queued and
  // once more at the end of input.
  InputLines(int fd, std::function<void()> arrived);
  // Stops the reader and joins it.
  ~InputLines();
  InputLines(const InputLines&) = delete;
  InputLines& operator=(const InputLines&) = delete;

  // The next line, waiting for it; nullopt at the end of input or once closed.
  std::optional<std::string> Next();
  // The next line when one is there.
  std::optional<std::string> TryNext();
  // The input has ended and every line was taken.
  bool Finished();
  // Hands out no more lines, so no one waits for a person who has gone (a signal ends the run).
  void Close();

 private:
  void Read(const std::stop_token& stop);
  void Queue(std::string line);
  void End();
  std::optional<std::string> Take();  // under mutex_

  int fd_;
  int wake_[2] = {-1, -1};  // a byte here stops the reader's wait at once
  std::function<void()> arrived_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::deque<std::string> lines_;
  bool ended_ = false, closed_ = false;
  std::jthread reader_;  // last: starts once everything above is there
};

}  // namespace host
