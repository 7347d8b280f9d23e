// The one exception type of the program. Its message is what the user sees in
// the application's error display; the program goes on afterwards.
#pragma once

#include <stdexcept>
#include <string>

namespace tw {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace tw
