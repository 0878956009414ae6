#pragma once

#include <string_view>
#include <vector>

// The resident memory, in KiB, of each of this process's children running
// the given program (by the name the system gives it: at most 15 bytes).
// A child that ends while it is looked at is left out.
std::vector<long> ChildrenResidentKiB(std::string_view program);
