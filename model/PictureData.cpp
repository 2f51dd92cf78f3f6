#include "PictureData.h"

#include "ProjectTree.h"

namespace {

const QString kImageData = QStringLiteral("ImageData");

int HexValue(char16_t u)
{
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

bool PixelSet(const QByteArray &bytes, int row, int column)
{
    return (static_cast<uint8_t>(bytes[(row / 8) * kPictureWidth + column]) >> (row % 8)) & 1u;
}

void SetPixel(QByteArray &bytes, int row, int column)
{
    char &b = bytes[(row / 8) * kPictureWidth + column];
    b = static_cast<char>(static_cast<uint8_t>(b) | (1u << (row % 8)));
}

}  // namespace

qsizetype PictureTextByteCount(const QString &text)
{
    return (text.size() + 1) / 2;
}

uint8_t PictureTextByte(const QString &text, qsizetype index)
{
    const qsizetype first = 2 * index;
    if (index < 0 || first >= text.size())
        return 0;
    if (first + 1 == text.size()) {
        const int alone = HexValue(text[first].unicode());
        return alone < 0 ? 0 : static_cast<uint8_t>(alone);
    }
    const int high = HexValue(text[first].unicode());
    const int low = HexValue(text[first + 1].unicode());
    return high < 0 || low < 0 ? 0 : static_cast<uint8_t>(high * 16 + low);
}

QByteArray PictureBytesFromText(const QString &text, qsizetype count)
{
    QByteArray bytes(count, '\0');
    const qsizetype present = std::min(count, PictureTextByteCount(text));
    for (qsizetype i = 0; i < present; ++i)
        bytes[i] = static_cast<char>(PictureTextByte(text, i));
    return bytes;
}

QString PictureTextFromBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString ExpandPicture64To96(const QString &text)
{
    const QByteArray source = PictureBytesFromText(text, kPictureBytes64);
    QByteArray target(kPictureBytes96, '\0');
    int lit = 0;
    for (int row = 0; row < kPictureHeight64; ++row) {
        for (int column = 0; column < kPictureWidth; ++column) {
            if (PixelSet(source, row, column)) {
                SetPixel(target, 79 - row, kPictureWidth - 1 - column);
                ++lit;
            }
        }
    }
    if (lit > kPictureWidth * kPictureHeight64 - lit) {
        // The margins take the picture's majority colour: pages 0, 1, 10, 11.
        for (int page : {0, 1, 10, 11})
            target.replace(page * kPictureWidth, kPictureWidth, QByteArray(kPictureWidth, '\xFF'));
    }
    return PictureTextFromBytes(target);
}

QString ShrinkPicture96To64(const QString &text)
{
    const QByteArray source = PictureBytesFromText(text, kPictureBytes96);
    QByteArray target(kPictureBytes64, '\0');
    for (int row = 16; row < 80; ++row) {
        for (int column = 0; column < kPictureWidth; ++column) {
            if (PixelSet(source, row, column))
                SetPixel(target, 79 - row, kPictureWidth - 1 - column);
        }
    }
    return PictureTextFromBytes(target);
}

int ConvertPicturesForModel(TwNode *root, int newModelId, int oldModelId)
{
    if (!root || newModelId == oldModelId)
        return 0;
    auto convert = oldModelId != 0 ? ShrinkPicture96To64 : ExpandPicture64To96;
    int converted = 0;
    auto rewrite = [&](TwNode *picture) {
        picture->SetProp(kImageData, convert(picture->GetProp(kImageData)));
        ++converted;
    };
    for (int i = 0; i < root->GetChildCount(); ++i) {
        TwNode *node = root->GetChild(i);
        if (node->Kind == nkConfiguration)
            break;
        if (node->Kind == nkStartupScreen) {
            for (int j = 0; j < node->GetChildCount(); ++j) {
                if (node->GetChild(j)->Kind == nkScreen)
                    rewrite(node->GetChild(j));
            }
        } else if (node->Kind == nkScreenSaver) {
            rewrite(node);
        }
    }
    return converted;
}
