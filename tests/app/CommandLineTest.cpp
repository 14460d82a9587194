#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

app::CommandLine parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tumbalon");
    return app::parseCommandLine(static_cast<int>(args.size()), args.data());
}

// --help, an unknown option and the scene file itself are run end to end.
TEST(CommandLine, PassesTheToolkitsOptionsAndTakesOneSceneFile) {
    const app::CommandLine line = parse({"-display", ":3", "run.tumbalon", "-iconic"});
    EXPECT_EQ(line.sceneFile, "run.tumbalon");
    EXPECT_EQ(line.error, "");
    EXPECT_EQ(parse({"-geometry"}).error, "option \"-geometry\" needs a value");
    for (const char* size : {"1000x740", "640x480+10-20", "+0+0"}) EXPECT_EQ(parse({"-geometry", size}).error, "") << size;
    EXPECT_EQ(parse({"-geometry", "big"}).error, "option \"-geometry\" needs a size such as 1000x740, not \"big\"");
    EXPECT_EQ(parse({"-geometry", "1000*740"}).error,
              "option \"-geometry\" needs a size such as 1000x740, not \"1000*740\"");
    EXPECT_EQ(parse({"a.tumbalon", "b.tumbalon"}).error, "only one scene file can be given, not also \"b.tumbalon\"");
    EXPECT_EQ(parse({"./-odd.tumbalon"}).sceneFile, "./-odd.tumbalon");
}

}  // namespace
