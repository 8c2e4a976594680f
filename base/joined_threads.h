// Threads that are joined however their owner is left, by a return or an
// exception: a std::thread destroyed while it runs ends the program.
#pragma once

#include <functional>
#include <thread>
#include <vector>

class JoinedThreads {
 public:
  JoinedThreads() = default;
  ~JoinedThreads() { JoinAll(); }
  JoinedThreads(const JoinedThreads&) = delete;
  JoinedThreads& operator=(const JoinedThreads&) = delete;

  void Start(std::function<void()> work) { threads_.emplace_back(std::move(work)); }
  void JoinAll() {
    for (std::thread& thread : threads_) {
      if (thread.joinable()) thread.join();
    }
  }

 private:
  std::vector<std::thread> threads_;
};
