// The test program's entry: gtest, with failures printed without gtest's message to a debugger.
#include <gtest/gtest.h>

#include <cstdio>

namespace {

// gtest also hands every failure to a debugger (OutputDebugStringA), which raises an exception. Under qemu-i386, Wine
// unwinds an exception in a process with more than one thread with the TEB of the thread started last (qemu keeps one
// descriptor table for all threads): the test would die at its first failure instead of reporting it, and leave its
// programs running. So failures are printed here, and the rest by gtest's own printer.
class FailurePrinter : public testing::TestEventListener {
 public:
  explicit FailurePrinter(testing::TestEventListener* inner) : m_inner(inner) {}
  ~FailurePrinter() override { delete m_inner; }
  void OnTestPartResult(const testing::TestPartResult& r) override {
    if (r.type() == testing::TestPartResult::kSuccess) return;
    printf("%s:%d: %s\n%s\n", r.file_name() ? r.file_name() : "unknown file", r.line_number(),
           r.skipped() ? "Skipped" : "Failure", r.message());
    fflush(stdout);
  }
#define TV_FORWARD(Event, Type) \
  void Event(const Type& x) override { m_inner->Event(x); }
  TV_FORWARD(OnTestProgramStart, testing::UnitTest)
  TV_FORWARD(OnEnvironmentsSetUpStart, testing::UnitTest)
  TV_FORWARD(OnEnvironmentsSetUpEnd, testing::UnitTest)
  TV_FORWARD(OnTestSuiteStart, testing::TestSuite)
  TV_FORWARD(OnTestCaseStart, testing::TestSuite)
  TV_FORWARD(OnTestStart, testing::TestInfo)
  TV_FORWARD(OnTestDisabled, testing::TestInfo)
  TV_FORWARD(OnTestEnd, testing::TestInfo)
  TV_FORWARD(OnTestSuiteEnd, testing::TestSuite)
  TV_FORWARD(OnTestCaseEnd, testing::TestSuite)
  TV_FORWARD(OnEnvironmentsTearDownStart, testing::UnitTest)
  TV_FORWARD(OnEnvironmentsTearDownEnd, testing::UnitTest)
  TV_FORWARD(OnTestProgramEnd, testing::UnitTest)
#undef TV_FORWARD
  void OnTestIterationStart(const testing::UnitTest& u, int i) override { m_inner->OnTestIterationStart(u, i); }
  void OnTestIterationEnd(const testing::UnitTest& u, int i) override { m_inner->OnTestIterationEnd(u, i); }

 private:
  testing::TestEventListener* m_inner;
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
  if (testing::TestEventListener* printer = listeners.Release(listeners.default_result_printer()))
    listeners.Append(new FailurePrinter(printer));
  return RUN_ALL_TESTS();
}
