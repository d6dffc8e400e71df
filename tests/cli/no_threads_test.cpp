// tessarin-compose where no thread can be started: each would need a stack larger than the
// address space the process may have. The batch then runs on the main thread alone.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "../model/address_space_limit.h"
#include "cli_error.h"
#include "compose_process.h"
#include "test_graphics_folder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;

TEST(ComposeWithoutThreads, ABatchStillComposesAndSavesEveryCharacter) {
#ifdef TESSARIN_TEST_SANITIZED
  GTEST_SKIP() << "the sanitizer's shadow memory cannot live under an address-space limit";
#endif
  const fs::path root =
      fs::temp_directory_path() / ("tessarin-no-threads-" + std::to_string(getpid()));
  fs::remove_all(root);
  const fs::path graphics = end_to_end::BuildTestGraphics(root);
  constexpr rlim_t kGiB = rlim_t{1} << 30;
  const end_to_end::ProcessResult result =
      end_to_end::RunCompose({"--graphics", graphics.string(), "--set", "Hero", "--random", "all",
                              "--seed", "5", "--count", "6", "-o", (root / "c{n}.png").string()},
                             root, {{RLIMIT_AS, kGiB}, {RLIMIT_STACK, 2 * kGiB}});
  EXPECT_EQ(result.exitCode, kExitOk) << result.err;
  for (int n = 1; n <= 6; ++n) {
    EXPECT_TRUE(fs::exists(root / ("c" + std::to_string(n) + ".png"))) << n;
  }
  fs::remove_all(root);
}

}  // namespace
}  // namespace tessarin::cli
