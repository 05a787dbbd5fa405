#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "support/RowNames.h"
#include "ui/MathDialog.h"
#include "ui/ModalAnswerer.h"

namespace kv {
namespace {

using kv::test::rowNames;

struct RefusalRow {
    MathDialogKind kind;
    std::vector<const char*> texts;  // set into the first boxes
    bool numeric;
    int box;
    const char* message;
};

class MathDialogRefusal : public testing::TestWithParam<RefusalRow> {};

// OK with a box missing: the message, the focus in that box, the dialog open.
TEST_P(MathDialogRefusal, WarnsFocusesTheBoxAndStaysOpen) {
    const RefusalRow& row = GetParam();
    MathDialog d(row.kind);
    for (std::size_t i = 0; i < row.texts.size(); ++i)
        d.box(static_cast<int>(i))->setText(QString::fromUtf8(row.texts[i]));
    if (row.numeric) d.numericCheck()->setChecked(true);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    ModalAnswerer answerer(QMessageBox::Ok);
    d.accept();
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.texts[0].toStdString(), row.message);
    // The box has the focus whenever the dialog is active.
    EXPECT_EQ(d.focusWidget(), d.box(row.box));
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_TRUE(d.command().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MathDialogRefusal,
    testing::Values(
        RefusalRow{MathDialogKind::Simplify, {}, false, 0, "Zadejte funkci!"},
        RefusalRow{MathDialogKind::Solve,
                   {"x^2=2", "x", "", "5"},
                   true,
                   2,
                   "Zadejte spodní hodnotu oboru řešení!"},
        RefusalRow{
            MathDialogKind::Derivative, {"x^2", "x", ""}, false, 2, "Zadejte stupeň derivace!"},
        RefusalRow{MathDialogKind::Integrate,
                   {"x", "x", "0", "1", ""},
                   false,
                   4,
                   "Zadejte počet dělení integračního oboru!"},
        RefusalRow{MathDialogKind::Taylor,
                   {"exp(x)", "x", "0", ""},
                   false,
                   3,
                   "Zadejte stupeň polynomu!"}),
    rowNames(&RefusalRow::message));

TEST(MathDialogTest, NumericSwitchesTheSolverBoxes) {
    MathDialog d(MathDialogKind::Solve);
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Řešení rovnic"));
    for (int b : {SolveLower, SolveUpper, SolveStep, SolvePrecision})
        EXPECT_FALSE(d.box(b)->isEnabled()) << b;
    EXPECT_TRUE(d.box(SolveVariable)->isEnabled());
    d.numericCheck()->setChecked(true);
    for (int b : {SolveLower, SolveUpper, SolveStep, SolvePrecision})
        EXPECT_TRUE(d.box(b)->isEnabled()) << b;
    d.box(SolveEquation)->setText("x^2=2");
    d.box(SolveVariable)->setText("x");
    d.box(SolveLower)->setText("0");
    d.box(SolveUpper)->setText("2");
    d.box(SolveStep)->clear();
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.command(), "koreny=nsolve(x^2=2, x, [0..2], h=0.1, epsilon=10^(-8))");
}

TEST(MathDialogTest, LimitDirectionGoesAfterThePoints) {
    MathDialog d(MathDialogKind::Limit);
    EXPECT_TRUE(d.directionButton(LimitDirection::TwoSided)->isChecked());
    d.box(0)->setText("f");
    d.box(1)->setText("x->0");
    d.directionButton(LimitDirection::Right)->setChecked(true);
    d.accept();
    EXPECT_EQ(d.command(), "limit=lim(f, [x->0]+)");
}

}  // namespace
}  // namespace kv
