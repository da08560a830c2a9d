#include "worker/queue.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace quorvel::worker {

namespace detail {

struct Channel {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<Job> jobs;
  std::size_t senders = 0;
  bool receiver_alive = true;
};

}  // namespace detail

Sender::Sender(std::shared_ptr<detail::Channel> channel) : channel_(std::move(channel)) {
  std::lock_guard lock(channel_->mutex);
  ++channel_->senders;
}

Sender::Sender(const Sender& other) : Sender(other.channel_) {}

Sender::~Sender() {
  if (!channel_) return;  // moved from
  bool last = false;
  {
    std::lock_guard lock(channel_->mutex);
    last = --channel_->senders == 0;
  }
  if (last) channel_->ready.notify_all();
}

bool Sender::send(Job& job) {
  {
    std::lock_guard lock(channel_->mutex);
    if (!channel_->receiver_alive) return false;
    channel_->jobs.push_back(std::move(job));
  }
  channel_->ready.notify_one();
  return true;
}

Receiver::Receiver(std::shared_ptr<detail::Channel> channel) : channel_(std::move(channel)) {}

Receiver::~Receiver() {
  if (channel_) close();
}

std::optional<Job> Receiver::recv() {
  std::unique_lock lock(channel_->mutex);
  channel_->ready.wait(lock, [&] { return !channel_->jobs.empty() || channel_->senders == 0; });
  if (channel_->jobs.empty()) return std::nullopt;
  Job job = std::move(channel_->jobs.front());
  channel_->jobs.pop_front();
  return job;
}

std::optional<Job> Receiver::try_recv() {
  std::lock_guard lock(channel_->mutex);
  if (channel_->jobs.empty()) return std::nullopt;
  Job job = std::move(channel_->jobs.front());
  channel_->jobs.pop_front();
  return job;
}

void Receiver::close() {
  std::deque<Job> dropped;
  {
    std::lock_guard lock(channel_->mutex);
    channel_->receiver_alive = false;
    dropped.swap(channel_->jobs);
  }
  // The dropped requests are freed here, outside the lock.
}

std::pair<Sender, Receiver> make_channel() {
  auto channel = std::make_shared<detail::Channel>();
  return {Sender(channel), Receiver(channel)};
}

}  // namespace quorvel::worker
