#pragma once
// An event connection (the host's WithEvents): dropping it unsubscribes the handler.
#include <functional>
#include <utility>

namespace com {

class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> disconnect) : disconnect_(std::move(disconnect)) {}
  Subscription(Subscription&& o) noexcept : disconnect_(std::exchange(o.disconnect_, nullptr)) {}
  Subscription& operator=(Subscription&& o) noexcept {
    if (this != &o) {
      Reset();
      disconnect_ = std::exchange(o.disconnect_, nullptr);
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;
  ~Subscription() { Reset(); }

  void Reset() {
    if (disconnect_) std::exchange(disconnect_, nullptr)();
  }
  bool Connected() const { return static_cast<bool>(disconnect_); }

 private:
  std::function<void()> disconnect_;
};

}  // namespace com
