#include "dialog_gradient_check.h"

#include <gtest/gtest.h>

#include "gradient.h"

void ExpectDialogGradient(const TGradient* gradient) {
    EXPECT_EQ(gradient->GradientStyle(), gsLine);
    EXPECT_EQ(gradient->LineDirection(), diHorizonal);
    EXPECT_EQ(gradient->LineSize(), 2);
    EXPECT_EQ(gradient->ColorCount(), 4);
    const TColor colors[] = {clGray, clWhite, clGray, clWhite, clBlack};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(gradient->Color(i), colors[i - 1]) << "colour " << i;
    }
}
