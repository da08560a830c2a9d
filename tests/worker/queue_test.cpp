#include "worker/queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>
#include <vector>

namespace quorvel::worker {
namespace {

Job job(std::uint64_t id) {
  return Job{id, "request " + std::to_string(id)};
}

TEST(Queue, KeepsOrderAndTryReceiveDoesNotWait) {
  auto [sender, receiver] = make_channel();
  EXPECT_FALSE(receiver.try_recv().has_value());
  for (std::uint64_t id = 1; id <= 3; ++id) {
    Job j = job(id);
    ASSERT_TRUE(sender.send(j));
  }
  for (std::uint64_t id = 1; id <= 3; ++id) {
    std::optional<Job> got = id == 2 ? receiver.recv() : receiver.try_recv();
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->id, id);
    EXPECT_EQ(got->request, "request " + std::to_string(id));
  }
  EXPECT_FALSE(receiver.try_recv().has_value());
}

TEST(Queue, ReceiveWaitsForALaterSend) {
  auto [sender, receiver] = make_channel();
  std::thread late([s = Sender(sender)]() mutable {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Job j = job(7);
    s.send(j);
  });
  std::optional<Job> got = receiver.recv();
  late.join();
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->id, 7u);
}

TEST(Queue, ManySendersLoseNothingAndKeepEachSendersOrder) {
  constexpr std::uint64_t kSenders = 4;
  constexpr std::uint64_t kEach = 2000;
  auto [sender, receiver] = make_channel();
  std::vector<std::thread> threads;
  for (std::uint64_t t = 0; t < kSenders; ++t) {
    threads.emplace_back([t, s = Sender(sender)]() mutable {
      for (std::uint64_t i = 0; i < kEach; ++i) {
        Job j = job(t * kEach + i);
        s.send(j);
      }
    });
  }
  std::map<std::uint64_t, std::uint64_t> next;  // sender -> next expected id
  for (std::uint64_t t = 0; t < kSenders; ++t) next[t] = t * kEach;
  for (std::uint64_t n = 0; n < kSenders * kEach; ++n) {
    std::optional<Job> got = receiver.recv();
    ASSERT_TRUE(got.has_value());
    std::uint64_t from = got->id / kEach;
    ASSERT_EQ(got->id, next[from]) << "out of order from sender " << from;
    ++next[from];
  }
  for (std::thread& t : threads) t.join();
  EXPECT_FALSE(receiver.try_recv().has_value());
}

TEST(Queue, ReceiveEndsOnlyWhenEverySenderIsGoneAndTheQueueIsDrained) {
  auto channel = make_channel();
  Receiver& receiver = channel.second;
  auto clone = std::make_unique<Sender>(channel.first);
  {
    Sender gone = std::move(channel.first);
    Job j = job(1);
    ASSERT_TRUE(gone.send(j));
  }
  // One sender is still alive: the queued job comes out, then recv would wait.
  ASSERT_TRUE(receiver.recv().has_value());
  std::thread dropper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    clone.reset();
  });
  EXPECT_FALSE(receiver.recv().has_value());
  dropper.join();
}

TEST(Queue, SendFailsOnceTheReceiverIsGoneAndGivesTheJobBack) {
  auto channel = make_channel();
  Sender& sender = channel.first;
  {
    Job queued = job(1);
    ASSERT_TRUE(sender.send(queued));
    Receiver gone = std::move(channel.second);
  }
  Job refused = job(2);
  EXPECT_FALSE(sender.send(refused));
  EXPECT_EQ(refused.id, 2u);
  EXPECT_EQ(refused.request, "request 2");
}

}  // namespace
}  // namespace quorvel::worker
