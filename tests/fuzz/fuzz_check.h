// How a fuzz target says that an invariant does not hold: it prints where and
// what, lets the runner say which case it was, and aborts, so that libFuzzer
// keeps the input and the unit layer's run stops there.
#pragma once

namespace tw::fuzz {

[[noreturn]] void Fail(const char* file, int line, const char* condition);

// The unit layer's runner names the running case (target, seed, case number)
// through this before a failed check aborts; libFuzzer names its own input.
void SetCaseDescriber(void (*describe)());
void DescribeCase();

}  // namespace tw::fuzz

#define TW_FUZZ_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::tw::fuzz::Fail(__FILE__, __LINE__, #condition))
