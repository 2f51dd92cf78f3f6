// Whether a project tree keeps the rules the compiler, the panel and the
// project reader rely on:
//   - a menu (Main Menu or sub-menu) holds at most 10 children, and either
//     sub-menus and actions or values and lists, never both;
//   - sub-menus, values, lists and actions sit only under menus, alarms only
//     under the Alarms node, startup pictures only under the Startup Screen;
//   - no sub-menu below tree level 5 holds children (the reader drops them);
//   - at most 64 alarms and 16 startup pictures.
//
//   EXPECT_TRUE(TreeKeepsItsRules(root));
#pragma once

#include <gtest/gtest.h>

class TwNode;

::testing::AssertionResult TreeKeepsItsRules(const TwNode *root);
