// The range dialog's stored layout.

#include <gtest/gtest.h>

#include <QRect>
#include <QSize>
#include <QWidget>

#include "application.h"
#include "dialog_gradient_check.h"
#include "range_dialog.h"

namespace {

QRect BoundsOf(const TControl* control) {
    return {control->Left(), control->Top(), control->Width(), control->Height()};
}

TEST(RangeDialogTest, LayoutIsTheStoredOne) {
    TForm owner(Application);
    TForm4 dialog(&owner);

    EXPECT_EQ(dialog.Name(), "Form4");
    EXPECT_EQ(dialog.Caption(), "Value not valid!");
    EXPECT_EQ(dialog.ClientArea()->size(), QSize(226, 75));
    EXPECT_EQ(dialog.BorderStyle(), bsDialog);
    EXPECT_EQ(dialog.BorderIcons(), 0u);
    EXPECT_FALSE(dialog.Window()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(dialog.Position(), poScreenCenter);
    EXPECT_EQ(dialog.Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(dialog.Font()->Height(), -11);
    EXPECT_FALSE(dialog.OnActivate());

    EXPECT_EQ(dialog.DfGradient1->Name(), "DfGradient1");
    EXPECT_EQ(BoundsOf(dialog.DfGradient1), QRect(0, 0, 225, 144));
    ExpectDialogGradient(dialog.DfGradient1->Gradient());

    EXPECT_EQ(dialog.Label1->Name(), "Label1");
    EXPECT_EQ(dialog.Label1->Caption(), "The allowed range is  1  to  999  minutes");
    EXPECT_EQ(dialog.Label1->Left(), 16);
    EXPECT_EQ(dialog.Label1->Top(), 8);
    EXPECT_TRUE(dialog.Label1->Transparent());
    EXPECT_LE(dialog.Label1->Left() + dialog.Label1->Width(), 226) << "the text is cut";

    EXPECT_EQ(dialog.BitBtn1->Name(), "BitBtn1");
    EXPECT_EQ(BoundsOf(dialog.BitBtn1), QRect(72, 40, 75, 25));
    EXPECT_EQ(dialog.BitBtn1->Widget()->geometry(), QRect(72, 40, 75, 25));
    EXPECT_EQ(dialog.BitBtn1->Caption(), "O.K.");
    EXPECT_TRUE(dialog.BitBtn1->Default());
    EXPECT_TRUE(dialog.BitBtn1->Cancel());
    EXPECT_EQ(dialog.BitBtn1->Glyph().size(), QSize(32, 16));
    EXPECT_EQ(dialog.BitBtn1->NumGlyphs(), 2);
}

}  // namespace
