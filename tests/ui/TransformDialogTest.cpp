#include <gtest/gtest.h>

#include <QLineEdit>

#include "graphics/SceneModel.h"
#include "support/RowNames.h"
#include "ui/ModalAnswerer.h"
#include "ui/TransformDialog.h"

namespace kv {
namespace {

using kv::test::rowNames;

TEST(TransformDialogTest, OpensWithTheCurrentValues) {
    SceneModel scene;
    scene.rotation = {10.5f, 0, 0};
    scene.scale = {1, 2, 1};
    TransformDialog d(scene);
    EXPECT_EQ(d.field(TransformDialog::RotX)->text(), "10.5");
    EXPECT_EQ(d.field(TransformDialog::ScaleY)->text(), "2");
    EXPECT_EQ(d.field(TransformDialog::SpinZ)->text(), "0");
}

struct BadFieldRow {
    int field;
    const char* text;
    const char* message;
};

class TransformDialogBadField : public testing::TestWithParam<BadFieldRow> {};

TEST_P(TransformDialogBadField, ReportsTheFirstInvalidFieldAndKeepsFocus) {
    SceneModel scene;
    TransformDialog d(scene);
    d.show();
    // A later field is wrong too: the first in checking order is reported.
    d.field(TransformDialog::SpinZ)->setText("x");
    d.field(GetParam().field)->setText(GetParam().text);
    ModalAnswerer answerer;
    EXPECT_FALSE(d.apply());
    ASSERT_EQ(answerer.texts.size(), 1);
    EXPECT_EQ(answerer.texts[0].toStdString(), GetParam().message);
    EXPECT_TRUE(d.field(GetParam().field)->hasFocus() || QApplication::focusWidget() == nullptr ||
                QApplication::focusWidget() == d.field(GetParam().field));
    EXPECT_EQ(scene.rotation.x, 0.0f) << "nothing is written";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TransformDialogBadField,
    testing::Values(
        BadFieldRow{TransformDialog::RotX, "", "Neplatný formát úhlu rotace okolo osy X"},
        BadFieldRow{TransformDialog::RotZ, "1a", "Neplatný formát úhlu rotace okolo osy Z"},
        BadFieldRow{TransformDialog::MoveY, "--1", "Neplatný formát čísla translace ve směru Y"},
        BadFieldRow{TransformDialog::ScaleX, "  ", "Neplatný formát čísla měřítka X"},
        BadFieldRow{TransformDialog::SpinX, "1,5", "Neplatný formát čísla!"}),
    rowNames(&BadFieldRow::text));

TEST(TransformDialogTest, ValidFieldsAreWrittenIntoTheScene) {
    SceneModel scene;
    TransformDialog d(scene);
    d.field(TransformDialog::RotY)->setText(" -30 ");
    d.field(TransformDialog::MoveZ)->setText("-12.5");
    d.field(TransformDialog::ScaleZ)->setText("2e1");
    d.field(TransformDialog::SpinX)->setText("+1.5");
    EXPECT_TRUE(d.apply());
    EXPECT_EQ(scene.rotation.y, -30.0f);
    EXPECT_EQ(scene.translation.z, -12.5f);
    EXPECT_EQ(scene.scale.z, 20.0f);
    EXPECT_EQ(scene.spin.x, 1.5f);
}

TEST(TransformDialogTest, ResetShowsTheResetViewWithoutApplyingIt) {
    SceneModel scene;
    scene.rotation = {45, 0, 0};
    scene.scale = {3, 3, 3};
    TransformDialog d(scene);
    d.resetFields();
    EXPECT_EQ(d.field(TransformDialog::RotX)->text(), "0");
    EXPECT_EQ(d.field(TransformDialog::ScaleX)->text(), "1");
    EXPECT_EQ(scene.rotation.x, 45.0f);
    EXPECT_EQ(scene.scale.x, 3.0f);
}

}  // namespace
}  // namespace kv
