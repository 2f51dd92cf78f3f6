#include "TreeRules.h"

#include "ProjectTree.h"

namespace {

bool IsMenu(int32_t kind)
{
    return kind == nkMainMenu || kind == nkSubMenu;
}

// The kind of parent each kind of item needs.
bool ParentFits(int32_t kind, int32_t parentKind)
{
    switch (kind) {
    case nkSubMenu:
    case nkValue:
    case nkList:
    case nkAction: return IsMenu(parentKind);
    case nkAlarm: return parentKind == nkAlarms;
    case nkScreen: return parentKind == nkStartupScreen;
    default: return parentKind == nkProject;
    }
}

QString Where(const TwNode *node)
{
    return QStringLiteral("\"%1\" (kind %2, location %3)")
        .arg(node->GetDisplayCaption())
        .arg(node->Kind)
        .arg(node->GetLocation());
}

::testing::AssertionResult Check(const TwNode *node)
{
    const int children = node->GetChildCount();
    if (IsMenu(node->Kind)) {
        if (children > 10)
            return ::testing::AssertionFailure()
                << Where(node).toStdString() << " holds " << children << " children";
        const bool entries = node->FindChildOfKind(nkSubMenu) || node->FindChildOfKind(nkAction);
        const bool values = node->FindChildOfKind(nkValue) || node->FindChildOfKind(nkList);
        if (entries && values)
            return ::testing::AssertionFailure()
                << Where(node).toStdString() << " holds menus or actions beside values or lists";
        // Tree level = GetLevel() - 1; the reader keeps the children of a
        // sub-menu up to tree level 5.
        if (node->Kind == nkSubMenu && children > 0 && node->GetLevel() - 1 > 5)
            return ::testing::AssertionFailure()
                << Where(node).toStdString() << " lies too deep to hold children";
    }
    if (node->Kind == nkAlarms && children > 64)
        return ::testing::AssertionFailure() << children << " alarms";
    if (node->Kind == nkStartupScreen && children > 16)
        return ::testing::AssertionFailure() << children << " startup pictures";
    for (int i = 0; i < children; ++i) {
        const TwNode *child = node->GetChild(i);
        if (child->Parent != node)
            return ::testing::AssertionFailure() << Where(child).toStdString() << " does not know its parent";
        if (!ParentFits(child->Kind, node->Kind))
            return ::testing::AssertionFailure()
                << Where(child).toStdString() << " sits under " << Where(node).toStdString();
        if (::testing::AssertionResult result = Check(child); !result)
            return result;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

::testing::AssertionResult TreeKeepsItsRules(const TwNode *root)
{
    if (!root)
        return ::testing::AssertionSuccess();
    if (root->Kind != nkProject)
        return ::testing::AssertionFailure() << "the root is of kind " << root->Kind;
    return Check(root);
}
