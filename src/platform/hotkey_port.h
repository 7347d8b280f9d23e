// The global hot keys as Windows takes them: RegisterHotKey and
// UnregisterHotKey for the host's window, in RegisterHotKey's own terms.
#pragma once

namespace tw {

// RegisterHotKey's modifier flags.
constexpr unsigned kModAlt = 0x0001;
constexpr unsigned kModControl = 0x0002;
constexpr unsigned kModShift = 0x0004;

// RegisterHotKey / UnregisterHotKey for the host's window handle.
class IHotKeyPort {
 public:
  virtual ~IHotKeyPort() = default;
  // False when the system refuses the combination (taken, or invalid).
  virtual bool RegisterHotKey(int id, unsigned modifiers, unsigned key) = 0;
  virtual void UnregisterHotKey(int id) = 0;
};

struct HotKeyCombination {
  unsigned modifiers = 0;
  unsigned key = 0;
  friend bool operator==(const HotKeyCombination&, const HotKeyCombination&) = default;
};

}  // namespace tw
