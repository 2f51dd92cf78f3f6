// The demo project of the designer: a small plant panel that uses every kind
// of item the designer makes. examples/demo.zel is its project file, written by
// make_demo_project; the tests check that the two never differ, and open,
// compile and simulate the file.
//
// On the 128 x 96 model (ZEL): a main menu with sub-menus three deep, values
// on 16- and 32-bit registers, timers and counters, lists on a register and
// on a bit, one action of every type, three alarms that show register values
// in place of "^", two startup pictures, a screen saver picture and a
// configuration with alarm, password and working-space registers.
#pragma once

#include <QByteArray>

#include <memory>

class TwNode;

// The demo project's tree, built the way the designer's dialogs leave it.
std::unique_ptr<TwNode> MakeDemoProject();
// Its project file.
QByteArray DemoProjectFile();
