// The main window's images, drawn by the program itself: the tree images by
// the node kinds' icon indices, and the menu and tool-button images by the
// commands' image indices. All are 16 x 16.
#pragma once

#include <QIcon>

constexpr int TreeImageCount = 10;
constexpr int MenuImageCount = 32;

// Tree image index (TwNode::GetImageIndex); a null icon for -1 or any index
// outside the list.
QIcon TreeImage(int index);
// Menu image index (CommandInfo::image); a null icon outside the list.
QIcon MenuImage(int index);
