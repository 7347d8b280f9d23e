// The command line as input: the arguments the start-up timer reads, with
// the registry's record of earlier starts beside them. The welcome is due at
// a first start and when the first argument is "/F" in either case; nothing
// else on the line counts, and nothing of it changes the settings.
//
// Input: one byte of situation (bit 0: "@Started" is recorded; bit 1: an
// options key exists; bit 2: the maker key does not exist at all; bit 3:
// "@Started" cannot be written), then the arguments, separated by zero bytes
// (none when nothing follows).
#include <array>
#include <memory>

#include "app/settings_store.h"
#include "fakes/host_fixture.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/slot_registry.h"

namespace tw::fuzz {
namespace {

// One program object for the whole run, on the fixture's fakes and a
// registry that costs little: only the start-up timer's tick is repeated,
// over a registry set up anew for each input.
struct CommandLineHost {
  fakes::HostFixture fakes{false};
  SlotRegistry registry;
  std::unique_ptr<TfrmHost> host;

  CommandLineHost() {
    host = std::make_unique<TfrmHost>(HostPorts{fakes.screen, fakes.window, fakes.app, fakes.menus, fakes.tray,
                                                registry, fakes.hotkeys, fakes.infoWindows, fakes.clipboard, fakes.dialogs},
                                       ProgramTools({fakes.clipboard, fakes.saveDialog, fakes.images}));
    host->FormCreate();
  }
};

int RunCommandLine(const std::uint8_t* data, std::size_t size) {
  FuzzReader in(data, size);
  const std::uint8_t flags = in.Byte();
  std::vector<std::string> args;
  const auto rest = in.Rest();
  if (!rest.empty()) {
    args.emplace_back();
    for (const std::uint8_t b : rest) {
      if (b == 0)
        args.emplace_back();
      else
        args.back() += static_cast<char>(b);
    }
  }

  static CommandLineHost f;
  f.registry.Clear();
  f.fakes.log.calls.clear();
  f.fakes.app.errors.clear();
  const bool started = (flags & 1) != 0, options = (flags & 2) != 0, noMaker = (flags & 4) != 0;
  if (!noMaker) {
    f.registry.AddKey(SlotRegistry::kProduct);
    if (started) f.registry.SetValue(SlotRegistry::kProduct, kStartedValue, kRegSz, "1");
    if (options) f.registry.AddKey(SlotRegistry::kOptions);
  }
  if ((flags & 8) != 0) f.registry.failingProductWrite = kStartedValue;
  const TSettings before = f.host->Settings;

  f.fakes.log.calls.clear();
  f.host->StartupTimerTick(args);

  const bool firstStart = noMaker || (!started && !options);
  const bool welcomeAsked = !args.empty() && args[0].size() == 2 && args[0][0] == '/' &&
                            (args[0][1] == 'F' || args[0][1] == 'f');
  TW_FUZZ_CHECK(f.fakes.log.Contains("first run show") == (firstStart || welcomeAsked));
  TW_FUZZ_CHECK(f.host->Settings == before);
  // A first start is recorded, or the user is told why it could not be; an
  // earlier one is left as it was.
  const SlotRegistry::Value* record = f.registry.Find(SlotRegistry::kProduct, kStartedValue);
  if (firstStart)
    TW_FUZZ_CHECK((flags & 8) != 0 ? !record && f.fakes.app.errors.size() == 1 : record && record->text == "1");
  else
    TW_FUZZ_CHECK((record != nullptr) == started && f.fakes.app.errors.empty());
  return 0;
}

Bytes Line(std::uint8_t flags, std::string_view args) {
  Bytes input{flags};
  input.insert(input.end(), args.begin(), args.end());
  return input;
}

std::vector<Bytes> CommandLineSeeds() {
  using namespace std::string_view_literals;
  return {Line(1, ""),          Line(0, ""),         Line(1, "/F"),        Line(1, "/f"),
          Line(1, "/F\0/x"sv),  Line(1, "/x\0/F"sv), Line(1, "-f"),        Line(1, "/FF"),
          Line(1, "F"),         Line(1, "/"),        Line(3, "/F"),        Line(4, "/f"),
          Line(1, "\xEF\xBC\x8F\xEF\xBC\xA6"),  // "／Ｆ" in full width
          Line(1, "/\xC4\xB1")};                 // "/ı": a dotless i, not F
}

void GenerateCommandLine(FuzzRng& rng, const std::vector<Bytes>& seeds, Bytes& input) {
  input = seeds[rng.Below(static_cast<std::uint32_t>(seeds.size()))];
  if (input.empty()) input.push_back(0);
  input[0] = static_cast<std::uint8_t>(rng.Below(16));
  static constexpr std::array<std::uint8_t, 12> kBytes{'/', 'F', 'f', '-', 0, ' ', '"', '\\', 0x80, 0xC4, 0xEF, 0xFF};
  const int rounds = 1 + static_cast<int>(rng.Below(3));
  for (int round = 0; round < rounds; ++round) {
    if (input.empty()) input.push_back(static_cast<std::uint8_t>(rng.Below(16)));
    const std::uint32_t at = 1 + rng.Below(static_cast<std::uint32_t>(input.size()));
    if (rng.OneIn(2))
      input.insert(input.begin() + at, kBytes[rng.Below(kBytes.size())]);
    else
      Mutate(rng, input, {}, 1);
  }
}

}  // namespace

int FuzzCommandLine(const std::uint8_t* data, std::size_t size) { return RunCommandLine(data, size); }

const FuzzTarget& CommandLineTarget() {
  static const FuzzTarget target{"command_line", FuzzCommandLine, CommandLineSeeds, GenerateCommandLine};
  return target;
}

}  // namespace tw::fuzz
