#include "TaskDialog.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace quorvel::ui {
namespace {

TEST(TaskDialog, ShowsItsTextsExpandsTheDetailsAndClosesOnOk) {
    QWidget owner;
    TTaskDialog dialog(&owner);
    dialog.Title = "Success";
    dialog.Instruction = "Reset MCU.";
    dialog.Content = "Uploading program has finished.";
    dialog.ExpandedText = "Uploading program \"/fw.hex\" has finished with success.";
    QStringList seen;
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        auto* details = shown->findChild<QLabel*>("Details");
        auto* expander = shown->findChild<QPushButton*>("Expander");
        seen << shown->windowTitle() << shown->findChild<QLabel*>("Instruction")->text()
             << shown->findChild<QLabel*>("Content")->text() << expander->text();
        EXPECT_TRUE(details->isHidden());
        auto* focused = qobject_cast<QPushButton*>(shown->focusWidget());
        ASSERT_NE(focused, nullptr);
        EXPECT_EQ(focused->text().remove('&'), "OK") << "Enter dismisses the dialog";
        expander->click();
        seen << expander->text();
        EXPECT_FALSE(details->isHidden());
        EXPECT_EQ(details->text(), dialog.ExpandedText);
        expander->click();
        seen << expander->text();
        for (auto* button : shown->findChildren<QPushButton*>())
            if (button->text().remove('&') == "OK") button->click();
        answered = true;
    });
    dialog.Execute();
    EXPECT_TRUE(answered);
    EXPECT_EQ(seen, (QStringList{"Success", "Reset MCU.", "Uploading program has finished.",
                                 "Show details", "Hide details", "Show details"}));
}

} // namespace
} // namespace quorvel::ui
