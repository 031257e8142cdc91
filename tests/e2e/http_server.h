// An HTTP server on 127.0.0.1 for the version check tests: answers every request with the body it was given, after the
// delay it was given (or never: kNever holds the connection open without a word until Stop), and records what it was
// asked.
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

class HttpServer {
 public:
  ~HttpServer() { Stop(); }
  bool Start(unsigned short port = 80);
  void Stop();
  static constexpr DWORD kNever = INFINITE;
  void SetBody(const std::string& body, DWORD delayMs = 0) {
    std::lock_guard<std::mutex> g(m_lock);
    m_body = body;
    m_delayMs = delayMs;
  }
  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> g(m_lock);
    return m_requests;
  }

 private:
  void Serve(SOCKET client);
  SOCKET m_listen = INVALID_SOCKET;
  std::thread m_thread;
  std::atomic<bool> m_stop{false};
  std::mutex m_lock;
  std::string m_body;
  DWORD m_delayMs = 0;
  std::vector<std::string> m_requests;
  std::vector<std::thread> m_workers;
};

}  // namespace e2e
