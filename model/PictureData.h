// The "ImageData" picture text: the display memory of a startup picture or of
// the screen saver as hexadecimal text. Bands of 8 display rows from the top;
// within a band one byte per column from the left; bit 0 the band's top row,
// a set bit a lit pixel; each byte two upper-case hexadecimal digits.
//
// One reader serves the picture dialog, the conversion on a model change and
// the compiler, so they can never read one text in two ways: either letter
// case, a pair that is no hexadecimal number gives 0, a lone last character is
// read alone, and bytes beyond the end of the text are 0.
#pragma once

#include <QByteArray>
#include <QString>

class TwNode;

// Display geometry of the picture text.
constexpr int kPictureWidth = 128;
constexpr int kPictureHeight64 = 64;
constexpr int kPictureHeight96 = 96;
constexpr int kPictureBytes64 = kPictureWidth * kPictureHeight64 / 8;  // 1024
constexpr int kPictureBytes96 = kPictureWidth * kPictureHeight96 / 8;  // 1536

// Bytes in a text: one per pair of characters, a lone last character counted.
qsizetype PictureTextByteCount(const QString &text);
// Byte number `index` of the text; 0 beyond its end.
uint8_t PictureTextByte(const QString &text, qsizetype index);
// Exactly `count` bytes of the text: cut when longer, 0 after its end.
QByteArray PictureBytesFromText(const QString &text, qsizetype count);
// The bytes as text, "%02X" each.
QString PictureTextFromBytes(const QByteArray &bytes);

// A 128 x 64 picture text as a 128 x 96 one: turned by 180 degrees into rows
// 16 to 79, the margins above and below lit when more than half the source
// pixels are lit. Always 3072 characters.
QString ExpandPicture64To96(const QString &text);
// A 128 x 96 picture text as a 128 x 64 one: rows 16 to 79 turned by 180
// degrees, the rest dropped. Always 2048 characters.
QString ShrinkPicture96To64(const QString &text);

// Rewrites the "ImageData" of every startup picture and of the screen saver
// of the project below `root` for a change of panel model from `oldModelId`
// to `newModelId`: shrunk when the old model is not 0, else expanded. Visits
// the root's children up to the first Configuration node. Returns the number
// of pictures converted.
int ConvertPicturesForModel(TwNode *root, int newModelId, int oldModelId);
