// The progress bar's limits.

#include "ProgressBar.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace quorvel::ui {
namespace {

struct ProgressCase {
    const char* name;
    std::function<void(TProgressBar&)> steps;
    int position;
};

const ProgressCase kProgressCases[] = {
    {"StepsAddUp", [](TProgressBar& bar) { bar.SetMax(100), bar.StepBy(7), bar.StepBy(7); }, 14},
    {"StepPastTheEndStopsAtTheMaximum",
     [](TProgressBar& bar) { bar.SetMax(10), bar.SetPosition(7), bar.StepBy(7); }, 10},
    {"LowerMaximumLowersThePosition",
     [](TProgressBar& bar) { bar.SetMax(100), bar.SetPosition(50), bar.SetMax(30); }, 30},
    {"HigherMaximumKeepsThePosition",
     [](TProgressBar& bar) { bar.SetMax(100), bar.SetPosition(50), bar.SetMax(300); }, 50},
    {"BelowTheMinimumIsTheMinimum", [](TProgressBar& bar) { bar.SetPosition(-5); }, 0},
};

class ProgressLimits : public ::testing::TestWithParam<ProgressCase> {};

TEST_P(ProgressLimits, PositionStaysBetweenTheLimits) {
    TProgressBar bar;
    GetParam().steps(bar);
    EXPECT_EQ(bar.Position(), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressLimits, ::testing::ValuesIn(kProgressCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quorvel::ui
