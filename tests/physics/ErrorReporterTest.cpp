#include <sstream>

#include <gtest/gtest.h>

#include "physics/ErrorReporter.h"
#include "physics/Physics.h"

namespace {

using physics::ErrorReporter;

std::string reportLine(int code, const std::string& message) {
    std::ostringstream out;
    std::istringstream in;
    ErrorReporter(out, in).reportError(code, message, "F", 12);
    return out.str();
}

TEST(ErrorReporter, ReportsOneLinePerErrorWithTheCodeWord) {
    EXPECT_EQ(reportLine(1, "M"), "F (12) :invalid parameter : M\n");
    EXPECT_EQ(reportLine(2, "M"), "F (12) :invalid operation : M\n");
    EXPECT_EQ(reportLine(3, "M"), "F (12) :out of memory : M\n");
    EXPECT_EQ(reportLine(205, "M"), "F (12) :info : M\n");
    EXPECT_EQ(reportLine(206, "M"), "F (12) :warning : M\n");
    EXPECT_EQ(reportLine(4, "M"), "F (12) :unknown error : M\n");
    EXPECT_EQ(reportLine(-1, "M"), "F (12) :unknown error : M\n");
}

TEST(ErrorReporter, PercentSignsArePrintedAsTheyAre) {
    EXPECT_EQ(reportLine(1, "50% of %s and %d%n"), "F (12) :invalid parameter : 50% of %s and %d%n\n");
    std::ostringstream out;
    std::istringstream in;
    ErrorReporter reporter(out, in);
    reporter.print("100%s %d%%");
    EXPECT_EQ(out.str(), "100%s %d%%");
    out.str("");
    reporter.reportAssertViolation("%s%s", "%n.cpp", 3);
    EXPECT_EQ(out.str().rfind("access violation : %s%s (%n.cpp line 3)\n", 0), 0u);
}

int answer(const std::string& typed, std::string* console = nullptr) {
    std::ostringstream out;
    std::istringstream in(typed);
    int result = ErrorReporter(out, in).reportAssertViolation("bad", "World.cpp", 7);
    if (console) *console = out.str();
    return result;
}

TEST(ErrorReporter, AssertionAsksAbortRetryIgnore) {
    std::string console;
    EXPECT_EQ(answer("r\n", &console), physics::ASSERT_CONTINUE);
    EXPECT_EQ(console,
              "access violation : bad (World.cpp line 7)\n"
              "AssertViolation, see console for details. [a]bort, [r]etry, [i]gnore? ");
    EXPECT_EQ(answer("i\n"), physics::ASSERT_IGNORE);
    EXPECT_EQ(answer("a\n"), physics::ASSERT_BREAK);
    EXPECT_EQ(answer("  Abort\r\n"), physics::ASSERT_BREAK);
    EXPECT_EQ(answer("Retry"), physics::ASSERT_CONTINUE);  // no newline before end of input
    // End of input never blocks: it counts as ignore.
    EXPECT_EQ(answer(""), physics::ASSERT_IGNORE);
    // Anything else is asked again.
    EXPECT_EQ(answer("x\n\nr\n", &console), physics::ASSERT_CONTINUE);
    EXPECT_NE(console.find("Please answer a, r or i.\n"), std::string::npos);
    EXPECT_EQ(answer("what\n"), physics::ASSERT_IGNORE);
}

TEST(ErrorReporter, BulletWarningsReachTheReporter) {
    std::ostringstream out;
    std::istringstream in;
    ErrorReporter reporter(out, in);
    physics::PhysicsWorld world(&reporter);
    EXPECT_EQ(&world.reporter(), &reporter);
    physics::ActorHandle ball = world.createSphereActor(8.0f, 7600.0f);
    world.setGlobalPosition(ball, {500, 100, -500});
    world.setLinearVelocity(ball, {1e16f, 0, 0});  // finite, but the swept box overflows
    world.simulate(0.01f);
    EXPECT_NE(out.str().find("Bullet (0) :warning : Overflow in AABB, object removed from simulation\n"),
              std::string::npos)
        << out.str();
}

}  // namespace
