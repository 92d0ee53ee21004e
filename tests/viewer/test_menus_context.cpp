// Right-button context menus on the real viewer, answered through the dialogs seam: control
// points and splitting (mode 0), attribute points (modes 2 and 8), blur shift (mode 3).
#include "test_mouse_support.h"

#include "interface.h"
#include "wiring.h"

class ContextMenus : public EditingViewer {
protected:
    void SetUp() override
    {
        EditingViewer::SetUp();
        // An arch: its tangent lines stay off the curve, so a right click on it hits its samples.
        arch = addCurve(
            makeCurve({Point(-0.6, -0.2), Point(-0.3, 0.3), Point(0.3, 0.3), Point(0.6, -0.2)}));
    }
    // Makes the arch current with a left click in `mode`.
    void chooseArch(ManipulationMode mode)
    {
        viewer->changeManipMode(mode);
        click(pixelOf(onArch(0.5)));
        ASSERT_EQ(doc().current_curve, arch);
    }
    Point onArch(double t) { return doc().curve(arch).pointAt(t, 0); }
    void rightClick(const Point& p, const QString& choice)
    {
        dialogs->menuChoice = choice;
        click(pixelOf(p), Qt::RightButton);
    }
    int arch = -1;
};

TEST_F(ContextMenus, ControlPointMenuHasItsThreeEntries)
{
    chooseArch(ModeMovePoint);
    rightClick(onArch(0.45), QString());
    ASSERT_EQ(dialogs->menusRun, 1);
    EXPECT_EQ(dialogs->menuEntries,
              QStringList({"Add control point", "Delete control point", "Split the curve"}));
    EXPECT_EQ(doc().curve(arch).nb_control_points, 4) << "a dismissed menu changes nothing";
}

TEST_F(ContextMenus, AddThenDeleteControlPoint)
{
    chooseArch(ModeMovePoint);
    const Point at = onArch(0.45);
    rightClick(at, "Add control point");
    ASSERT_EQ(doc().curve(arch).nb_control_points, 7);
    // The new key point lies under the mouse.
    EXPECT_TRUE(near(doc().curve(arch).controlPoint(3),
                     viewer->placement().modelPosition(pixelOf(at).x(), pixelOf(at).y()), 1e-9));

    rightClick(doc().curve(arch).pointAt(0.5, 3), "Delete control point");
    EXPECT_EQ(doc().curve(arch).nb_control_points, 4);
}

TEST_F(ContextMenus, SplitTheCurveMakesTwo)
{
    chooseArch(ModeMovePoint);
    rightClick(onArch(0.5), "Split the curve");
    ASSERT_EQ(doc().nb_curves, 2);
    const Curve& first = doc().curve(arch);
    const Curve& second = doc().curve(1);
    EXPECT_EQ(first.nb_control_points % 3, 1);
    EXPECT_EQ(second.nb_control_points % 3, 1);
    // The two parts meet where the curve was split and keep the original ends.
    EXPECT_TRUE(near(first.controlPoint(0), Point(-0.6, -0.2), 1e-12));
    EXPECT_TRUE(near(second.controlPoint(second.nb_control_points - 1), Point(0.6, -0.2), 1e-12));
    EXPECT_TRUE(
        near(first.controlPoint(first.nb_control_points - 1), second.controlPoint(0), 1e-12));
}

TEST_F(ContextMenus, NoMenuWithoutCurrentCurveOrOverNothing)
{
    viewer->changeManipMode(ModeMovePoint);
    rightClick(onArch(0.5), "Split the curve");
    EXPECT_EQ(dialogs->menusRun, 0);
    chooseArch(ModeMovePoint);
    rightClick(Point(0.0, -0.8), "Split the curve");
    EXPECT_EQ(dialogs->menusRun, 0);
    EXPECT_EQ(doc().nb_curves, 1);
}

TEST_F(ContextMenus, AttributeMenuAddsAndDeletesColourAndBlurPoints)
{
    chooseArch(ModeModifAttrib);
    rightClick(onArch(0.5), QString());
    EXPECT_EQ(dialogs->menuEntries,
              QStringList({"Add Left Color", "Delete Left Color", "-", "Add Right Color",
                           "Delete Right Color", "-", "Add Blur", "Delete Blur"}));

    rightClick(onArch(0.5), "Add Left Color");
    ASSERT_EQ(doc().curve(arch).nb_left_colors, 3);
    const int added = doc().curve(arch).left_color_ids[1];
    EXPECT_GT(added, 0);
    EXPECT_LT(added, 10);
    rightClick(onArch(0.5), "Add Right Color");
    EXPECT_EQ(doc().curve(arch).nb_right_colors, 3);
    rightClick(onArch(0.5), "Add Blur");
    EXPECT_EQ(doc().curve(arch).nb_blur_points, 3);
    // The same sample position names the new points: deleting there removes them again.
    rightClick(onArch(0.5), "Delete Left Color");
    EXPECT_EQ(doc().curve(arch).nb_left_colors, 2);
    rightClick(onArch(0.5), "Delete Blur");
    EXPECT_EQ(doc().curve(arch).nb_blur_points, 2);
}

TEST_F(ContextMenus, BucketMenuHasNoBlurEntries)
{
    chooseArch(ModeBucket);
    rightClick(onArch(0.5), QString());
    EXPECT_EQ(dialogs->menuEntries, QStringList({"Add Left Color", "Delete Left Color", "-",
                                                 "Add Right Color", "Delete Right Color"}));
}

TEST_F(ContextMenus, BlurMenuShiftsTheSelectionsBlur)
{
    viewer->changeManipMode(ModeSelectMulti);
    rightClick(onArch(0.5), "Increase/decrease blur");
    EXPECT_EQ(dialogs->menusRun, 0) << "no menu without a selection";

    click(pixelOf(onArch(0.5)), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_EQ(doc().selection, QVector<int>({arch}));
    Interface panel; // whose Blur slider gives the shift
    connectWindows(panel, *viewer, *commands);
    rightClick(onArch(0.5), "Increase/decrease blur");
    EXPECT_EQ(dialogs->menuEntries, QStringList({"Increase/decrease blur"}));
    ASSERT_TRUE(panel.isEditingBlur());
    EXPECT_EQ(panel.sliderBlur->minimum(), -16);
    EXPECT_EQ(panel.sliderBlur->maximum(), 16);
    EXPECT_EQ(panel.sliderBlur->value(), 0);
    panel.sliderBlur->setValue(5);
    panel.commitBlurEdit();
    EXPECT_EQ(doc().curve(arch).blur_values, QVector<int>({5, 5}));
}
