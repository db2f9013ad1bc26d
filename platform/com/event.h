#pragma once
// An event of a host object: handlers subscribe (as WithEvents variables do) and are called,
// in the order they subscribed, when the event fires. Dropping the subscription unsubscribes.
#include <functional>
#include <map>
#include <memory>

#include "platform/com/subscription.h"

namespace com {

template <class... A>
class Event {
 public:
  using Handler = std::function<void(A...)>;

  Subscription Subscribe(Handler handler) {
    const int id = state_->next++;
    state_->handlers[id] = std::move(handler);
    std::weak_ptr<State> weak = state_;
    return Subscription([weak, id] {
      if (auto s = weak.lock()) s->handlers.erase(id);
    });
  }

  void Fire(A... args) {
    const auto handlers = state_->handlers;  // a handler may unsubscribe others
    for (const auto& [id, handler] : handlers) handler(args...);
  }

  bool Empty() const { return state_->handlers.empty(); }

 private:
  struct State {
    std::map<int, Handler> handlers;
    int next = 1;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace com
