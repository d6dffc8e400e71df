#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "compose_process.h"
#include "dressed_set.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;

TEST(ColourAndRecipeErrors, ExitCodeAndOneLineNamingTheThing) {
  const fs::path root =
      fs::temp_directory_path() / ("tessarin-colour-recipe-errors-" + std::to_string(getpid()));
  fs::remove_all(root);
  const fs::path base = root / "Graphics";
  end_to_end::BuildDressedSet(base / "Dressed", end_to_end::Extras::Everything);
  end_to_end::WriteText(base / "BadJson" / "setting.txt", "Xsize:8\nYsize:4\nHair=1\n");
  end_to_end::WriteText(base / "BadJson" / "set.json", R"({"grid":{"columns":3,"rows":1}})");
  end_to_end::WriteText(base / "BadCredits" / "setting.txt", "Xsize:8\nYsize:4\nHair=1\n");
  end_to_end::WriteText(base / "BadCredits" / "CREDITS.csv",
                        "filename,notes,authors,licenses,urls\nHair,,Ann,CC0\n");
  const auto recipe = [&](const std::string& name, const std::string& text) {
    end_to_end::WriteText(root / name, text);
    return (root / name).string();
  };
  const std::string picks = R"("picks":{"Body":"a.png"})";

  struct Case {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string said;
  };
  const std::string out = (root / "hero.png").string();
  const std::string notJson = recipe("not.json", "set: Dressed");
  const std::vector<Case> cases = {
      {"unknown material",
       {"--set", "Dressed", "--color", "skin=tan", "--color", "eyes=red", "-o", out},
       2,
       "--color: no palette 'eyes' in set.json (hair, skin)"},
      {"unknown variant",
       {"--set", "Dressed", "--color", "skin=purple", "-o", out},
       2,
       "--color: palette 'skin' has no variant 'purple' (source, pale, tan)"},
      {"material given twice",
       {"--set", "Dressed", "--color", "skin=tan", "--color", "SKIN=pale", "-o", out},
       1,
       "palette 'skin' given twice"},
      {"CREDITS.csv that fails",
       {"--set", "BadCredits", "-o", out},
       2,
       "BadCredits/CREDITS.csv: line 2:"},
      {"recipe missing", {"--recipe", (root / "gone.json").string(), "-o", out}, 2, "gone.json"},
      {"recipe not JSON", {"--recipe", notJson, "-o", out}, 2, "not.json: not JSON at byte"},
      {"recipe without a set",
       {"--recipe", recipe("noset.json", "{" + picks + "}"), "-o", out},
       2,
       "noset.json: set: must be a set name"},
      {"recipe naming a missing set",
       {"--recipe", recipe("set.json", R"({"set":"Nobody",)" + picks + "}"), "-o", out},
       2,
       "'Nobody'"},
      {"recipe naming a missing part",
       {"--recipe", recipe("part.json", R"({"set":"Dressed","picks":{"Wings":"a.png"}})"), "-o",
        out},
       2,
       "part.json: no part 'Wings' in set 'Dressed'"},
      {"recipe naming a missing image",
       {"--recipe", recipe("image.json", R"({"set":"Dressed","picks":{"Body":"z.png"}})"), "-o",
        out},
       2,
       "image.json: no image 'z.png' in "},
      {"recipe naming a missing variant",
       {"--recipe",
        recipe("variant.json", R"({"set":"Dressed",)" + picks + R"(,"colors":{"hair":"blue"}})"),
        "-o", out},
       2,
       "variant.json: palette 'hair' has no variant 'blue'"},
      // A clash inside a file is in its contents, not in how the program was called.
      {"recipe picking a part twice",
       {"--recipe",
        recipe("twice.json", R"({"set":"Dressed","picks":{"Body":"a.png","0":"none"}})"), "-o",
        out},
       2,
       "twice.json: part 0 'Body' picked twice"},
      {"recipe naming a palette twice",
       {"--recipe",
        recipe("twice2.json",
               R"({"set":"Dressed",)" + picks + R"(,"colors":{"skin":"tan","SKIN":"pale"}})"),
        "-o", out},
       2,
       "twice2.json: palette 'skin' given twice"},
      {"set.json that fails", {"--set", "BadJson", "-o", out}, 2, "BadJson/set.json: grid:"},
      {"metadata over the sheet",
       {"--set", "Dressed", "--metadata", "-o", (root / "hero.JSON").string()},
       1,
       "--metadata writes OUT's name ending in .json beside it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), {"--graphics", base.string()});
    const ProcessResult result = end_to_end::RunCompose(args, root);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(out));
  }
  fs::remove_all(root);
}

}  // namespace
}  // namespace tessarin::cli
