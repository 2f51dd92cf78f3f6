// The main window's images, drawn by the program itself: the tree images by
// the node kinds' icon indices, and the menu and tool-button images by the
// commands' image indices, all 16 x 16, in colour; a command image carries a
// grey, faint look of its own for a disabled button or entry. And the
// program's own picture: the front of a panel, the About box's picture and
// the icon of the designer's windows.
#pragma once

#include <QIcon>
#include <QPixmap>

constexpr int TreeImageCount = 10;
constexpr int MenuImageCount = 32;

// Tree image index (TwNode::GetImageIndex); a null icon for -1 or any index
// outside the list.
QIcon TreeImage(int index);
// Menu image index (CommandInfo::image); a null icon outside the list.
QIcon MenuImage(int index);

// The front of a panel, its display lit with a menu, size x size pixels.
QPixmap PanelPicture(int size);
// The icon of the designer's windows: the panel picture in the usual sizes.
QIcon DesignerIcon();
