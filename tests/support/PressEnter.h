#pragma once

#include <QTest>
#include <QWidget>

// Enter as the keyboard gives it: to the widget with the focus, from where a widget that
// does not take it passes it on to its dialog.
inline void PressEnterOn(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
    QTest::keyClick(widget, Qt::Key_Return);
}
