// The completion dialog's expander and button, and the progress bar's limits.

#include "ProgressBar.h"
#include "TaskDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace quorvel::ui {
namespace {

class TaskDialogTest : public ::testing::Test {
protected:
    TaskDialogTest() {
        dialog.SetTitle(QStringLiteral("Success"));
        dialog.SetInstruction(QStringLiteral("Reset MCU."));
        dialog.SetContent(QStringLiteral("The upload has finished."));
        dialog.SetExpandedText(QStringLiteral("blink.hex"));
        dialog.SetCollapsedCaption(QStringLiteral("Show details"));
        dialog.SetExpandedCaption(QStringLiteral("Hide details"));
    }

    bool DetailsVisible() const {
        for (auto* label : dialog.findChildren<QLabel*>())
            if (label->text() == QLatin1String("blink.hex")) return label->isVisible();
        return false;
    }

    TTaskDialog dialog;
};

TEST_F(TaskDialogTest, DetailsStartCollapsedAndTheExpanderTogglesThem) {
    dialog.show();
    EXPECT_FALSE(DetailsVisible());
    EXPECT_EQ(dialog.Expander()->text(), "Show details");
    dialog.Expander()->click();
    EXPECT_TRUE(DetailsVisible());
    EXPECT_EQ(dialog.Expander()->text(), "Hide details");
    dialog.Expander()->click();
    EXPECT_FALSE(DetailsVisible());
    EXPECT_EQ(dialog.Expander()->text(), "Show details");
}

TEST_F(TaskDialogTest, ExecuteIsModalCollapsedAndEndsOnItsOneButton) {
    dialog.show();
    dialog.Expander()->click(); // left open from an earlier showing
    dialog.hide();
    bool modal = false;
    bool collapsed = false;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        modal = QApplication::activeModalWidget() == &dialog;
        collapsed = !DetailsVisible();
        for (auto* button : dialog.findChildren<QPushButton*>())
            if (button->isVisible() && button != dialog.Expander()) ++buttons;
        dialog.OkButton()->click();
    });
    EXPECT_EQ(dialog.Execute(), QDialog::Accepted);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(collapsed);
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(dialog.windowTitle(), "Success");
}

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
