// Shows the main window for a widget test that needs a GL context: no
// question about saving and plain-text results, so nothing modal appears
// that the test did not ask for.
#pragma once

#include <gtest/gtest.h>

#include <QSettings>
#include <QTest>

#include "ui/MainWindow.h"

namespace kv::test {

inline ::testing::AssertionResult showQuietly(MainWindow& window, int width, int height) {
    QSettings s("Korvalinth", "Korvalinth");
    s.setValue("UI/query_save", 0);
    s.setValue("UI/format_output", 0);
    window.resize(width, height);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return ::testing::AssertionFailure() << "the window was never exposed";
    return ::testing::AssertionSuccess();
}

}  // namespace kv::test
