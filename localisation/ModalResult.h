// Modal results of the designer's dialogs, as QDialog::exec() returns them.
#pragma once

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;
constexpr int mrYes = 6;
constexpr int mrNo = 7;
