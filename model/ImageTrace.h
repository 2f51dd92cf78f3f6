// The image viewer's reader: a menu image read as an indented tree of text
// lines (the header fields, the sections and their records), every field
// shown in decimal in parentheses and in hexadecimal. Menu pages are shown
// from the Main Menu's page down, each sub-menu's page under the item that
// leads to it.
//
// The reader trusts nothing it reads: every offset and count is checked
// against the bytes before it is used. A cut, random or self-referencing file
// gives the lines that can be read and, where reading had to stop, a stop
// line saying where and why. A menu page is followed once and at most
// kTraceMaxDepth pages deep, and a last stop line ends the trace after
// kTraceMaxLines lines, so every input ends.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// One line of the tree, in pre-order: its children follow it with Depth + 1.
struct TwTraceLine {
    int Depth = 0;
    QString Text;
    // The line says where and why reading stopped.
    bool Stop = false;
};

struct TwImageTrace {
    std::vector<TwTraceLine> Lines;
    // The texts of the stop lines in order; empty when the whole image was read.
    QStringList Stops;
};

constexpr int kTraceMaxLines = 300000;
constexpr int kTraceMaxDepth = 32;
// Larger files are not read: no menu image comes near this size.
constexpr qint64 kTraceMaxFileSize = 16 * 1024 * 1024;

// The lines of the image bytes; a last stop line ends them after maxLines.
TwImageTrace TraceMenuImage(const QByteArray &image, int maxLines = kTraceMaxLines);

// The lines of the image file at path; a file that cannot be read, or is
// larger than kTraceMaxFileSize, gives one stop line naming it and why.
TwImageTrace TraceMenuImageFile(const QString &path);
