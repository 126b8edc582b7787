#include "ErrorReport.h"

#include "ModalAnswerer.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

namespace quorvel::ui {
namespace {

using quorvel::testing::ModalAnswerer;

struct FullStopCase {
    QString message;
    QString shown;
};

class FullStopRule : public ::testing::TestWithParam<FullStopCase> {};

TEST_P(FullStopRule, AddsAFullStopOnlyAfterCharactersThatComeAfterIt) {
    EXPECT_EQ(ErrorReportText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    , FullStopRule,
    ::testing::Values(
        FullStopCase{"Access denied", "Access denied."}, FullStopCase{"Done.", "Done."},
        FullStopCase{"Stop!", "Stop!"}, FullStopCase{"value (3)", "value (3)"},
        FullStopCase{"range 0-", "range 0-"}, FullStopCase{"line 7", "line 7."},
        FullStopCase{"folder/", "folder/."},
        FullStopCase{"'$' is not a valid integer value", "'$' is not a valid integer value."},
        FullStopCase{"", ""},
        FullStopCase{QString::fromUtf8("Gr\u00f6\u00dfe"), QString::fromUtf8("Gr\u00f6\u00dfe.")}));

struct GuardCase {
    const char* name;
    void (*fail)();
    QString shown;
};

class GuardReports : public ::testing::TestWithParam<GuardCase> {};

// The error ends the guarded body, the report shows it, and the caller goes on.
TEST_P(GuardReports, ShowsTheErrorInAModalBoxAndGoesOn) {
    ModalAnswerer answerer;
    bool after = false;
    Guarded([&] {
        GetParam().fail();
        after = true;
    });
    EXPECT_FALSE(after);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].kind, "critical");
    EXPECT_EQ(answerer.seen[0].title, "Quorvel");
    EXPECT_EQ(answerer.seen[0].text, GetParam().shown);
    EXPECT_EQ(answerer.seen[0].buttonCount, 1);
}

INSTANTIATE_TEST_SUITE_P(
    , GuardReports,
    ::testing::Values(GuardCase{"StandardError",
                                [] { throw std::runtime_error("Cannot open port"); },
                                "Cannot open port."},
                      GuardCase{"OutOfMemory", [] { throw std::bad_alloc(); }, "Out of memory."},
                      GuardCase{"UnknownError", [] { throw 42; }, "An unexpected error occurred."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Guard, ShowsNothingWhenTheBodySucceeds) {
    ModalAnswerer answerer;
    bool ran = false;
    Guarded([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(answerer.seen.empty());
}

// A paint handler's error waits for the event loop: no box may open in the middle of painting.
TEST(Guard, ReportsAPaintErrorOnceBackInTheEventLoop) {
    ModalAnswerer answerer;
    GuardedPaint([] { throw std::runtime_error("Cannot draw"); });
    EXPECT_TRUE(answerer.seen.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_EQ(answerer.seen[0].text, "Cannot draw.");
}

} // namespace
} // namespace quorvel::ui
