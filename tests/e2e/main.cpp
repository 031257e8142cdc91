// The test program's entry: gtest with a printer of its own. gtest's printer also hands every failure to a debugger
// (OutputDebugStringA), which raises an exception. Under qemu-i386, Wine unwinds an exception in a process with more
// than one thread with the TEB of the thread started last (qemu keeps one descriptor table for all threads): the test
// would die at its first failure instead of reporting it, and leave its programs running.
#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Each case as it starts and ends, each failure with its place, and the totals.
class Printer : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo& t) override { Print("[ RUN      ]", t); }
  void OnTestPartResult(const testing::TestPartResult& r) override {
    if (r.type() == testing::TestPartResult::kSuccess) return;
    printf("%s:%d: %s\n%s\n", r.file_name() ? r.file_name() : "unknown file", r.line_number(),
           r.skipped() ? "Skipped" : "Failure", r.message());
    fflush(stdout);
  }
  void OnTestEnd(const testing::TestInfo& t) override {
    Print(t.result()->Failed() ? "[  FAILED  ]" : t.result()->Skipped() ? "[  SKIPPED ]" : "[       OK ]", t);
  }
  void OnTestProgramEnd(const testing::UnitTest& u) override {
    printf("[==========] %d passed, %d failed, %d skipped (%lld ms)\n", u.successful_test_count(),
           u.failed_test_count(), u.skipped_test_count(), static_cast<long long>(u.elapsed_time()));
  }
  static void Print(const char* tag, const testing::TestInfo& t) {
    printf("%s %s.%s\n", tag, t.test_suite_name(), t.name());
    fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
  delete listeners.Release(listeners.default_result_printer());
  listeners.Append(new Printer);
  return RUN_ALL_TESTS();
}
