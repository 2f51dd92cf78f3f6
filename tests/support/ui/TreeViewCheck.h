// Whether the project tree view shows exactly the node tree under root: the
// same structure, each item bound to its node both ways, with the node's
// display caption and icon. Every test that edits the tree calls it:
//
//   EXPECT_TRUE(TreeMatchesView(form.Root(), form.tvProject));
#pragma once

#include <gtest/gtest.h>

class QTreeWidget;
class TwNode;

::testing::AssertionResult TreeMatchesView(const TwNode *root, const QTreeWidget *view);
