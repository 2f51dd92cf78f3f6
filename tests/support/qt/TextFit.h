// Whether a window shows every one of its texts whole: no visible label,
// button, check box, radio button, combo box item or status panel is
// narrower (a label also: lower) than its text measured with the widget's own
// font. The window is shown and laid out first (and hidden again if it was).
//
//   for (int language = 0; language < Localizer.LanguageCount(); ++language) {
//       Localizer.SetLanguage(language);
//       EXPECT_TRUE(TextsFit(&dialog)) << "language " << language + 1;
//   }
#pragma once

#include <gtest/gtest.h>

class QWidget;

::testing::AssertionResult TextsFit(QWidget *window);
