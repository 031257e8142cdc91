// One version check on a worker thread. The worker owns its state jointly
// with the dialog that started it, so a dialog that closes early never
// leaves the worker with freed memory, and the worker never touches the
// dialog.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <mutex>
#include <string>

struct UpdateCheck {
  std::mutex lock;
  bool abandoned = false;
  HINTERNET session = nullptr;
  HINTERNET request = nullptr;

  // The dialog closed: no result may show, and a blocked call must return.
  void Abandon();
  bool Abandoned();
};

// Starts a worker for one check; returns its shared state, or null when no
// thread could be started.
std::shared_ptr<UpdateCheck> StartUpdateCheck();

// Fetches the given URL; returns the body, or "Error" on any failure.
std::string FetchText(UpdateCheck& check, const std::string& url);
