// The program's edges: a run's menus.
#include <gtest/gtest.h>

#include "fakes/host_fixture.h"

namespace tw {
namespace {

TEST(RunMenus, AMenuOfTheRunStillOpenWhenItEndsIsClosed) {
  fakes::HostFixture f;
  f.host->StartTool(kMeasurer);
  f.menus.whileOpen = [&] { f.host->OnApplicationDeactivate(); };
  f.host->FormContextPopup({5, 5});
  EXPECT_EQ(f.log.Count("end menu"), 1);
}

}  // namespace
}  // namespace tw
