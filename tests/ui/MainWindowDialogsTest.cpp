// The "Matematika" and "Grafika" entries of the main window: each opens its
// dialog, OK runs the composed command in the console, Cancel runs nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QSettings>

#include "ui/ConsolePane.h"
#include "ui/MainWindow.h"
#include "ui/MathDialog.h"
#include "ui/ModalDriver.h"
#include "ui/PlotDialog.h"

namespace kv {
namespace {

class MainWindowDialogsTest : public testing::Test {
  protected:
    void SetUp() override {
        QSettings s("Korvalinth", "Korvalinth");
        s.setValue("UI/query_save", 0);
        s.setValue("UI/format_output", 0);
    }
};

TEST_F(MainWindowDialogsTest, EveryDialogEntryIsEnabled) {
    MainWindow w;
    for (int id :
         {144, 158, 139, 143, 141, 142, 213, 214, 198, 262, 135, 136, 137, 190, 263, 264}) {
        ASSERT_NE(w.action(id), nullptr) << id;
        EXPECT_TRUE(w.action(id)->isEnabled()) << id;
    }
}

TEST_F(MainWindowDialogsTest, OkRunsTheCommandInTheConsoleAndCancelNothing) {
    MainWindow w;
    {
        ModalDriver<MathDialog> driver([](MathDialog* d) {
            EXPECT_EQ(d->windowTitle(), QString::fromUtf8("Největši Spol. Dělitel"));
            d->box(0)->setText("12, 18");
            d->accept();
        });
        w.action(214)->trigger();
        EXPECT_TRUE(driver.acted);
    }
    EXPECT_EQ(w.console()->toPlainText(), ">> d=gcd(12, 18)\n   6\n>> ");
    {
        ModalDriver<MathDialog> driver([](MathDialog* d) {
            d->box(0)->setText("4, 6");
            d->reject();
        });
        w.action(213)->trigger();
        EXPECT_TRUE(driver.acted);
    }
    EXPECT_EQ(w.console()->toPlainText(), ">> d=gcd(12, 18)\n   6\n>> ");
}

// Each entry opens the dialog of its own kind.
TEST_F(MainWindowDialogsTest, EntriesOpenTheirDialogs) {
    MainWindow w;
    {
        ModalDriver<MathDialog> driver([](MathDialog* d) {
            EXPECT_EQ(d->windowTitle(), QString::fromUtf8("Taylorův Polynom"));
            d->reject();
        });
        w.action(262)->trigger();
        EXPECT_TRUE(driver.acted);
    }
    for (auto [id, title] :
         {std::pair{263, "Implicitní Plocha"}, std::pair{264, "Rotační Plocha"}}) {
        ModalDriver<PlotDialog> driver([title = title](PlotDialog* d) {
            EXPECT_EQ(d->windowTitle(), QString::fromUtf8(title));
            d->reject();
        });
        w.action(id)->trigger();
        EXPECT_TRUE(driver.acted) << id;
    }
}

TEST_F(MainWindowDialogsTest, PlotEntriesAddGraphsWithFreeIds) {
    MainWindow w;
    w.console()->submitCommand("curve(x, [0..1], id=1)");
    ModalDriver<PlotDialog> driver([](PlotDialog* d) {
        d->box(0)->setText("x^2+y^2=1");
        for (int i = 1; i < 5; ++i) d->box(i)->setText(i % 2 ? "-2" : "2");
        d->accept();
    });
    w.action(190)->trigger();
    EXPECT_TRUE(driver.acted);
    EXPECT_TRUE(w.console()->toPlainText().endsWith(
        ">> icurve(x^2+y^2=1, [-2..2], [-2..2], num_x=50, num_y=50, color=[0, 0, 0], iters=10, "
        "id=2)\n   ID je: 2\n>> "))
        << w.console()->toPlainText().toStdString();
}

}  // namespace
}  // namespace kv
