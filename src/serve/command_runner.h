// One thread that runs the loopback host's commands, one at a time in the order their requests
// arrived, so that the thread reading and writing sockets never waits for a command.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace calcora {

class CommandRunner {
 public:
  CommandRunner();
  ~CommandRunner();
  CommandRunner(const CommandRunner&) = delete;
  CommandRunner& operator=(const CommandRunner&) = delete;

  // Queues a job behind those already queued; false once close() has begun.
  bool submit(std::function<void()> job);
  // Refuses new jobs, runs the ones already queued, and waits for the thread to end.
  void close();

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<std::function<void()>> jobs_;
  bool closing_ = false;
  std::thread thread_;
};

}  // namespace calcora
