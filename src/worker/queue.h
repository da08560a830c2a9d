// The job queue between the host threads that start searches and the one
// worker thread: unbounded, first in first out, any number of senders and one
// receiver. Sending never blocks; it fails once the receiving end is gone, and
// a blocking receive ends once every sending end is gone and nothing is left.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace quorvel::worker {

struct Job {
  std::uint64_t id = 0;
  std::string request;
};

namespace detail {
struct Channel;
}

class Sender {
 public:
  explicit Sender(std::shared_ptr<detail::Channel> channel);
  Sender(const Sender& other);
  Sender& operator=(const Sender&) = delete;
  Sender(Sender&& other) noexcept = default;
  Sender& operator=(Sender&&) = delete;
  ~Sender();

  // Queues the job and returns true; returns false, leaving `job` as it was,
  // when the receiving end is gone.
  bool send(Job& job);

 private:
  std::shared_ptr<detail::Channel> channel_;
};

class Receiver {
 public:
  explicit Receiver(std::shared_ptr<detail::Channel> channel);
  Receiver(const Receiver&) = delete;
  Receiver& operator=(const Receiver&) = delete;
  Receiver(Receiver&& other) noexcept = default;
  Receiver& operator=(Receiver&&) = delete;
  // Closes the receiving end: later sends fail.
  ~Receiver();

  // Waits for the next job; empty once no sender is left and the queue is empty.
  std::optional<Job> recv();
  // The next job if one is queued, without waiting.
  std::optional<Job> try_recv();
  // Closes the receiving end now and drops whatever is still queued.
  void close();

 private:
  std::shared_ptr<detail::Channel> channel_;
};

std::pair<Sender, Receiver> make_channel();

}  // namespace quorvel::worker
