#include "http_server.h"

#include <ws2tcpip.h>

namespace e2e {

bool HttpServer::Start(unsigned short port) {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (m_listen == INVALID_SOCKET) return false;
  BOOL yes = TRUE;
  setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes), sizeof yes);
  sockaddr_in addr = {AF_INET, htons(port), {}, {}};
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(m_listen, 8) != 0) {
    Stop();
    return false;
  }
  m_stop = false;
  m_thread = std::thread([this] {
    for (SOCKET client; !m_stop && (client = accept(m_listen, nullptr, nullptr)) != INVALID_SOCKET;)
      m_workers.emplace_back([this, client] { Serve(client); });
  });
  return true;
}

void HttpServer::Stop() {
  m_stop = true;
  closesocket(m_listen);  // ends the accept; harmless when there is no socket
  m_listen = INVALID_SOCKET;
  if (m_thread.joinable()) m_thread.join();
  for (auto& w : m_workers)
    if (w.joinable()) w.join();
  m_workers.clear();
}

void HttpServer::Serve(SOCKET client) {
  std::string request;
  char buf[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    int n = recv(client, buf, sizeof buf, 0);
    if (n <= 0) break;
    request.append(buf, n);
  }
  std::string body;
  DWORD delay = 0;
  {
    std::lock_guard<std::mutex> g(m_lock);
    m_requests.push_back(request);
    body = m_body;
    delay = m_delayMs;
  }
  for (const DWORD start = GetTickCount(); !m_stop && (delay == kNever || GetTickCount() - start < delay);) Sleep(20);
  std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                       std::to_string(body.size()) + "\r\n\r\n" + body;
  size_t sent = 0;
  while (sent < answer.size()) {
    int n = send(client, answer.data() + sent, static_cast<int>(answer.size() - sent), 0);
    if (n <= 0) break;
    sent += n;
  }
  shutdown(client, SD_SEND);
  closesocket(client);
}

}  // namespace e2e
