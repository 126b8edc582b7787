#pragma once
// Chooses an item of a drop-down list the way a user does, with the keyboard, so the list
// reports a user's choice and not one the program made.

#include <QComboBox>
#include <QString>
#include <QTest>

#include <gtest/gtest.h>

// Home, then Down until the item with `text` is current; fails the test when there is none.
inline void ChooseItem(QComboBox& list, const QString& text) {
    const int wanted = list.findText(text, Qt::MatchExactly);
    ASSERT_GE(wanted, 0) << text.toStdString() << " is not in " << list.objectName().toStdString();
    QTest::keyClick(&list, Qt::Key_Home);
    while (list.currentIndex() < wanted)
        QTest::keyClick(&list, Qt::Key_Down);
}
