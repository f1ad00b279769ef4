#include "serve/command_runner.h"

namespace calcora {

CommandRunner::CommandRunner() : thread_([this] { run(); }) {}

CommandRunner::~CommandRunner() { close(); }

bool CommandRunner::submit(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    if (closing_) return false;
    jobs_.push_back(std::move(job));
  }
  queued_.notify_one();
  return true;
}

void CommandRunner::close() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  queued_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void CommandRunner::run() {
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [&] { return closing_ || !jobs_.empty(); });
      if (jobs_.empty()) return;  // closing, and every queued job has run
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace calcora
