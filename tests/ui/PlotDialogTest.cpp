#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "graphics/SceneModel.h"
#include "lang/CommandInterpreter.h"
#include "lang/Transcript.h"
#include "support/RowNames.h"
#include "ui/AnimClipDialogs.h"
#include "ui/ColorButton.h"
#include "ui/ModalAnswerer.h"
#include "ui/ModalDriver.h"
#include "ui/PlotDialog.h"

namespace kv {
namespace {

using kv::test::rowNames;

TEST(PlotDialogTest, ExplicitCurveWithDefaultsTakesTheNextFreeId) {
    SceneModel scene;
    CommandInterpreter ci(&scene);
    ASSERT_FALSE(executeCommand(ci, "curve(x, [0..1], id=1)").failed);
    PlotDialog d(PlotDialogKind::ExplicitCurve, scene);
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Explicitní Křivka"));
    EXPECT_EQ(d.box(3)->text(), "Auto");
    d.box(0)->setText("sin(x)");
    d.box(1)->setText("0");
    d.box(2)->setText("1");
    d.accept();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.command(), "curve(sin(x), [0..1], color=[0, 0, 0], id=2)");
}

struct RefusalRow {
    PlotDialogKind kind;
    std::vector<const char*> texts;
    int box;
    const char* message;
};

class PlotDialogRefusal : public testing::TestWithParam<RefusalRow> {};

TEST_P(PlotDialogRefusal, WarnsFocusesTheBoxAndStaysOpen) {
    SceneModel scene;
    PlotDialog d(GetParam().kind, scene);
    for (std::size_t i = 0; i < GetParam().texts.size(); ++i)
        d.box(static_cast<int>(i))->setText(QString::fromUtf8(GetParam().texts[i]));
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    ModalAnswerer answerer(QMessageBox::Ok);
    d.accept();
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.texts[0].toStdString(), GetParam().message);
    // The box has the focus whenever the dialog is active.
    EXPECT_EQ(d.focusWidget(), d.box(GetParam().box));
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.command().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlotDialogRefusal,
    testing::Values(RefusalRow{PlotDialogKind::ExplicitCurve,
                               {"x", "0"},
                               2,
                               "Zadejte horní hranici definičního oboru!"},
                    RefusalRow{PlotDialogKind::Surface,
                               {"x*y", "0", "1", ""},
                               3,
                               "Zadejte spodní hranici definičního oboru pro y!"},
                    RefusalRow{PlotDialogKind::ImplicitCurve,
                               {"x", "0", "1", "0", "1", "10", "10", ""},
                               7,
                               "Zadejte přesnost křivky!"},
                    RefusalRow{PlotDialogKind::ImplicitSurface,
                               {"x", "0", "1", "0", "1", "0", ""},
                               6,
                               "Zadejte horní hranici definičního oboru pro z!"}),
    rowNames(&RefusalRow::message));

// The sub-dialogs add their fragments; a cancelled one changes nothing.
TEST(PlotDialogTest, AnimationAndClippingComeFromTheirDialogs) {
    SceneModel scene;
    PlotDialog d(PlotDialogKind::ExplicitCurve, scene);
    d.box(0)->setText("sin(a*x)");
    d.box(1)->setText("0");
    d.box(2)->setText("6");
    {
        ModalDriver<AnimDialog> driver([](AnimDialog* a) {
            EXPECT_EQ(a->box(AnimDialog::FrameTime)->text(), "71");
            EXPECT_FALSE(a->box(AnimDialog::Variable)->isEnabled());
            a->animateCheck()->setChecked(true);
            EXPECT_TRUE(a->box(AnimDialog::Variable)->isEnabled());
            a->box(AnimDialog::Variable)->setText("a");
            a->box(AnimDialog::Lower)->setText("1");
            a->box(AnimDialog::Upper)->setText("3");
            a->box(AnimDialog::FrameTime)->clear();
            a->accept();
        });
        d.animationButton()->click();
        EXPECT_TRUE(driver.acted);
    }
    {
        ModalDriver<ClipDialog> driver([](ClipDialog* c) {
            c->axisCheck(1)->setChecked(true);
            c->lowerBox(1)->setText("-0.5");
            c->upperBox(1)->setText("0.5");
            c->accept();
        });
        d.clipButton()->click();
        EXPECT_TRUE(driver.acted);
    }
    {
        ModalDriver<ClipDialog> driver([](ClipDialog* c) {
            EXPECT_TRUE(c->axisCheck(1)->isChecked()) << "opens with the fields kept";
            c->axisCheck(0)->setChecked(true);
            c->reject();
        });
        d.clipButton()->click();
    }
    d.accept();
    EXPECT_EQ(d.command(),
              "curve(sin(a*x), [0..6], color=[0, 0, 0], anim=[a, 1..3], nframes=2, "
              "frame_time=71, y=[-0.5..0.5], id=1)");
}

TEST(PlotDialogTest, ImplicitCurveHasNeitherClippingNorDomainTest) {
    SceneModel scene;
    PlotDialog d(PlotDialogKind::ImplicitCurve, scene);
    EXPECT_EQ(d.clipButton(), nullptr);
    EXPECT_EQ(d.checkDefBox(), nullptr);
    EXPECT_NE(d.animationButton(), nullptr);
    EXPECT_EQ(d.axisYBox(), nullptr);
}

// The implicit surface clips but has no domain test; the surface of
// revolution has both and the choice of its axis.
TEST(PlotDialogTest, SurfaceOfRevolutionTurnsAboutYWhenAsked) {
    SceneModel scene;
    PlotDialog is(PlotDialogKind::ImplicitSurface, scene);
    EXPECT_NE(is.clipButton(), nullptr);
    EXPECT_EQ(is.checkDefBox(), nullptr);
    PlotDialog d(PlotDialogKind::RotationSurface, scene);
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Rotační Plocha"));
    ASSERT_NE(d.axisYBox(), nullptr);
    EXPECT_FALSE(d.axisYBox()->isChecked());
    ASSERT_NE(d.checkDefBox(), nullptr);
    d.box(0)->setText("sqrt(y)");
    d.box(1)->setText("0");
    d.box(2)->setText("4");
    d.box(4)->setText("12");
    d.axisYBox()->setChecked(true);
    d.accept();
    EXPECT_EQ(d.command(),
              "rotsurface(sqrt(y), [0..4], front_color=[0, 0, 0], back_color=[0, 0, 0], "
              "wire_color=[0, 0, 0], nlines_rot=12, axis=y, id=1)");
}

TEST(PlotDialogTest, SurfaceColoursFollowTheirButtons) {
    SceneModel scene;
    PlotDialog d(PlotDialogKind::Surface, scene);
    const char* texts[] = {"x*y", "-1", "1", "-1", "1"};
    for (int i = 0; i < 5; ++i) d.box(i)->setText(texts[i]);
    d.colorButton(0)->setColor({255, 0, 0});
    d.colorButton(1)->setColor({0, 0, 255});
    d.colorButton(2)->setColor({51, 102, 153});
    d.checkDefBox()->setChecked(true);
    d.accept();
    EXPECT_EQ(d.command(),
              "surface(x*y, [-1..1], [-1..1], front_color=[1, 0, 0], back_color=[0, 0, 1], "
              "wire_color=[0.2, 0.4, 0.6], check_def=TRUE, id=1)");
}

// Enter in a box is OK (here refused for the empty boxes), not a click on
// the first colour button.
TEST(PlotDialogTest, EnterInABoxPressesOk) {
    SceneModel scene;
    PlotDialog d(PlotDialogKind::Surface, scene);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    ModalAnswerer answerer(QMessageBox::Ok);
    ModalDriver<QColorDialog> chooser([](QColorDialog* c) { c->reject(); });
    QTest::keyClick(d.box(0), Qt::Key_Return);
    EXPECT_FALSE(chooser.acted);
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.texts[0].toStdString(), "Zadejte funkci!");
}

TEST(ColorButtonTest, TheChooserStartsOnTheColourAndCancelKeepsIt) {
    ColorButton b;
    b.setColor({10, 20, 30});
    {
        ModalDriver<QColorDialog> driver([](QColorDialog* c) {
            EXPECT_EQ(c->currentColor(), QColor(10, 20, 30));
            c->setCurrentColor(QColor(200, 100, 50));
            c->reject();
        });
        b.click();
        EXPECT_TRUE(driver.acted);
    }
    EXPECT_EQ(b.color().r, 10);
    {
        ModalDriver<QColorDialog> driver([](QColorDialog* c) {
            c->setCurrentColor(QColor(200, 100, 50));
            c->accept();
        });
        b.click();
    }
    EXPECT_EQ(b.color().r, 200);
    EXPECT_EQ(b.color().g, 100);
    EXPECT_EQ(b.color().b, 50);
}

}  // namespace
}  // namespace kv
