#include "fuzz/fuzz_check.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace tw::fuzz {
namespace {

std::atomic<void (*)()> caseDescriber{nullptr};

}  // namespace

void SetCaseDescriber(void (*describe)()) { caseDescriber = describe; }

void DescribeCase() {
  if (const auto describe = caseDescriber.load()) describe();
}

void Fail(const char* file, int line, const char* condition) {
  std::fprintf(stderr, "%s:%d: fuzz invariant does not hold: %s\n", file, line, condition);
  DescribeCase();
  std::fflush(stderr);
  std::abort();
}

}  // namespace tw::fuzz
