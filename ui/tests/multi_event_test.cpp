#include "ui/multi_event.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kv::ui {
namespace {

TEST(MultiEventTest, ListenersHearInOrderUntilTheirSubscriptionEnds) {
  TMultiEvent<void(int)> event;
  std::vector<std::string> heard;
  TSubscription a = event.Subscribe([&](int v) { heard.push_back('a' + std::to_string(v)); });
  std::optional<TSubscription> b =
      event.Subscribe([&](int v) { heard.push_back('b' + std::to_string(v)); });
  event(1);
  b.reset();  // destroying unsubscribes
  event(2);
  TSubscription moved = std::move(a);
  EXPECT_FALSE(a.Active());
  EXPECT_TRUE(moved.Active());
  event(3);
  moved.Reset();
  moved.Reset();  // twice is harmless
  event(4);
  EXPECT_EQ(heard, (std::vector<std::string>{"a1", "b1", "a2", "a3"}));
  EXPECT_FALSE(event);
}

TEST(MultiEventTest, ReferenceArgumentsReachEveryListener) {
  TMultiEvent<void(int&)> event;
  TSubscription a = event.Subscribe([](int& v) { v += 1; });
  TSubscription b = event.Subscribe([](int& v) { v *= 10; });
  int value = 1;
  event(value);
  EXPECT_EQ(value, 20);
}

TEST(MultiEventTest, UnsubscribingDuringACallSkipsTheRemovedAndKeepsTheRunningAlive) {
  TMultiEvent<void()> event;
  std::vector<std::string> heard;
  TSubscription first, second, third;
  auto text = std::make_shared<std::string>("first");  // owned by the running listener only
  first = event.Subscribe([&, text] {
    first.Reset();  // frees nothing the call still uses
    second.Reset();
    heard.push_back(*text);
  });
  text.reset();
  second = event.Subscribe([&] { heard.push_back("second"); });
  third = event.Subscribe([&] { heard.push_back("third"); });
  event();
  event();
  EXPECT_EQ(heard, (std::vector<std::string>{"first", "third", "third"}));
  EXPECT_EQ(event.Count(), 1u);
}

TEST(MultiEventTest, ASubscriptionMadeDuringACallHearsTheNextFiring) {
  TMultiEvent<void()> event;
  int late = 0;
  TSubscription lateOne;
  TSubscription adder = event.Subscribe([&] {
    if (!lateOne.Active()) lateOne = event.Subscribe([&] { ++late; });
  });
  event();
  EXPECT_EQ(late, 0);
  event();
  EXPECT_EQ(late, 1);
}

TEST(MultiEventTest, TheEventMayBeFreedByAListenerOrBeforeItsSubscriptions) {
  auto event = std::make_unique<TMultiEvent<void()>>();
  int after = 0;
  TSubscription killer = event->Subscribe([&] { event.reset(); });
  TSubscription later = event->Subscribe([&] { ++after; });
  (*event)();
  EXPECT_EQ(event, nullptr);
  EXPECT_EQ(after, 0);  // the firing ended with the event
  EXPECT_FALSE(later.Active());
  later.Reset();  // the event is gone: nothing to do, nothing touched
}

TEST(MultiEventTest, AnExceptionEndsTheFiringAndKeepsTheListeners) {
  TMultiEvent<void()> event;
  int heard = 0;
  TSubscription thrower = event.Subscribe([] { throw std::runtime_error("listener failed"); });
  TSubscription counter = event.Subscribe([&] { ++heard; });
  EXPECT_THROW(event(), std::runtime_error);
  EXPECT_EQ(heard, 0);
  thrower.Reset();
  event();
  EXPECT_EQ(heard, 1);
}

}  // namespace
}  // namespace kv::ui
