// Heap allocations made through the global operator new since the program
// started. The unit test program and each benchmark program count them
// (alloc_counter.cpp, compiled into each, replaces the global operator new
// and delete), so a test can check that a path allocates nothing, and a
// benchmark report what it allocates: read the count before and after, on
// this thread alone.
#pragma once

#include <cstddef>

namespace tw::testing {

std::size_t HeapAllocations();

}  // namespace tw::testing
