// The image viewer's reader.
#include "ImageTrace.h"

#include "BoundedFile.h"
#include "MenuCompiler.h"

#include <QDir>

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

// The line budget is spent: the trace ends here.
struct TraceFull { };

constexpr int kMenuItemSize = 10;
constexpr int kValueRecordSize = 16;
constexpr int kAlarmEntrySize = 12;
constexpr int kConfigPairCount = 4;
constexpr int kItemTypeValue = 1;

const char *const kHeaderFields[] = {"size",           "menuPagesBase",   "alarmPagesBase",
                                     "directoryBase",  "stringPoolBase",  "attributePoolBase",
                                     "screenInfoBase", "fontPatternBase", "configurationBase"};
constexpr int kHeaderFieldCount = 9;
enum HeaderField {
    hfSize,
    hfMenuPages,
    hfAlarmPages,
    hfDirectory,
    hfStringPool,
    hfAttributePool,
    hfScreenInfo,
    hfFontPatterns,
    hfConfiguration
};

QString Hex(uint32_t value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

// "name=(decimal) 0xHEX", the decimal read as a signed 32-bit number.
QString FieldText(const QString &name, uint32_t value, int digits)
{
    return QStringLiteral("%1=(%2) 0x%3").arg(name).arg(static_cast<int32_t>(value)).arg(Hex(value, digits));
}

class TraceReader {
public:
    TraceReader(const QByteArray &image, int maxLines)
        : m_data(reinterpret_cast<const uint8_t *>(image.constData())),
          m_maxLines(maxLines),
          m_size(static_cast<uint64_t>(image.size())),
          m_pageState(0x10000, psUnseen)
    {
    }

    TwImageTrace Run()
    {
        try {
            ReadImage();
        } catch (const TraceFull &) {
            m_trace.Lines.push_back({0, QString(), true});
            SetStop(m_trace.Lines.back(),
                    QStringLiteral("Stopped: more than %1 lines; the rest is not shown").arg(m_maxLines));
        }
        return std::move(m_trace);
    }

private:
    enum PageState : uint8_t { psUnseen, psOpen, psShown };

    void ReadImage()
    {
        uint32_t header[kHeaderFieldCount] = {};
        int read = 0;
        for (; read < kHeaderFieldCount && Fits(4 + 4 * read, 4); ++read)
            header[read] = U32(4 + 4 * read);
        auto top = [&](int field) {
            Add(0, FieldText(QLatin1String(kHeaderFields[field]), header[field], 8));
        };
        if (read < kHeaderFieldCount) {
            for (int i = 0; i < read; ++i)
                top(i);
            Need(0, QLatin1String(kHeaderFields[read]), 4 + 4 * read, 4);
            return;
        }
        m_menuPagesBase = header[hfMenuPages];
        m_attributePoolBase = header[hfAttributePool];

        top(hfSize);
        top(hfMenuPages);
        if (header[hfMenuPages] != header[hfAlarmPages])
            MenuPage(1, 0, 0);
        top(hfAlarmPages);
        if (header[hfAlarmPages] != header[hfDirectory])
            AlarmTable(header[hfAlarmPages]);
        top(hfDirectory);
        GlyphDirectory(header[hfDirectory]);
        top(hfStringPool);
        if (header[hfStringPool] != header[hfAttributePool])
            StringPool(header[hfStringPool], header[hfAttributePool]);
        top(hfAttributePool);
        top(hfScreenInfo);
        if (header[hfScreenInfo] != header[hfFontPatterns])
            ScreenHeader(header[hfScreenInfo]);
        top(hfFontPatterns);
        top(hfConfiguration);
        if (header[hfConfiguration] < header[hfSize])
            Configuration(header[hfConfiguration]);
    }

    // The page at loc of the menu-page section, its items and, through their
    // menuNodeLoc, the pages below them; pageDepth counts the pages above.
    void MenuPage(int depth, uint16_t loc, int pageDepth)
    {
        const uint64_t page = uint64_t(m_menuPagesBase) + loc;
        if (!Need(depth, QStringLiteral("page [%1]").arg(Hex(loc, 4)), page, 2))
            return;
        const uint32_t count = U16(page);
        Add(depth, QStringLiteral("[%1] count=(%2) 0x%3").arg(Hex(loc, 4)).arg(count).arg(Hex(count, 4)));
        m_pageState[loc] = psOpen;
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t item = page + 2 + uint64_t(i) * kMenuItemSize;
            const QString name = QStringLiteral("item[%1]").arg(i);
            if (!Need(depth + 1, name, item, kMenuItemSize))
                break;
            Add(depth + 1, name);
            const int d = depth + 2;
            const uint32_t type = U8(item);
            const uint32_t attributeLoc = U16(item + 6);
            const uint16_t menuNodeLoc = U16(item + 8);
            Add(d, FieldText(QStringLiteral("type"), type, 2));
            Add(d, FieldText(QStringLiteral("rev"), U8(item + 1), 2));
            Add(d, FieldText(QStringLiteral("captionLoc"), U16(item + 2), 4));
            Add(d, FieldText(QStringLiteral("descriptionLoc"), U16(item + 4), 4));
            Add(d, FieldText(QStringLiteral("attributeLoc"), attributeLoc, 4));
            if (type == kItemTypeValue && attributeLoc != kLocNone)
                ValueRecord(d, attributeLoc);
            Add(d, FieldText(QStringLiteral("menuNodeLoc"), menuNodeLoc, 4));
            if (menuNodeLoc != kLocNone)
                FollowPage(d + 1, menuNodeLoc, pageDepth + 1);
        }
        m_pageState[loc] = psShown;
    }

    void FollowPage(int depth, uint16_t loc, int pageDepth)
    {
        const QString page = QStringLiteral("page [%1]").arg(Hex(loc, 4));
        if (m_pageState[loc] == psOpen)
            Stop(depth, QStringLiteral("Stopped: %1 refers back to a page above").arg(page));
        else if (m_pageState[loc] == psShown)
            Stop(depth, QStringLiteral("Stopped: %1 is shown above already").arg(page));
        else if (pageDepth >= kTraceMaxDepth)
            Stop(depth,
                 QStringLiteral("Stopped: %1 lies deeper than %2 pages").arg(page).arg(kTraceMaxDepth));
        else
            MenuPage(depth, loc, pageDepth);
    }

    void ValueRecord(int depth, uint32_t loc)
    {
        const uint64_t at = uint64_t(m_attributePoolBase) + loc;
        if (!Need(depth, QStringLiteral("the value record"), at, kValueRecordSize))
            return;
        Add(depth, FieldText(QStringLiteral("unitStrLoc"), U16(at), 4));
        Add(depth, FieldText(QStringLiteral("refNumber"), U16(at + 2), 4));
        Add(depth, FieldText(QStringLiteral("refType"), U8(at + 4), 2));
        Add(depth, FieldText(QStringLiteral("flag"), U8(at + 5), 2));
        Add(depth, FieldText(QStringLiteral("decimalPoint"), U8(at + 6), 2));
        Add(depth, FieldText(QStringLiteral("rev"), U8(at + 7), 2));
        for (const auto &[name, offset] : {std::pair{"min", 8}, std::pair{"max", 12}}) {
            const uint32_t value = U32(at + offset);
            Add(depth,
                QStringLiteral("%1=(%2) u(%3) 0x%4")
                    .arg(QLatin1String(name))
                    .arg(static_cast<int32_t>(value))
                    .arg(value)
                    .arg(Hex(value, 2)));
        }
    }

    void AlarmTable(uint32_t base)
    {
        if (!Need(1, QStringLiteral("maxCount"), base, 2))
            return;
        const uint32_t maxCount = U16(base);
        Add(1, FieldText(QStringLiteral("maxCount"), maxCount, 2));
        static const char *const fields[] = {"stringLoc[0]",    "stringLoc[1]",    "stringLoc[2]",
                                             "attributeLoc[0]", "attributeLoc[1]", "attributeLoc[2]"};
        for (uint32_t i = 0; i < maxCount; ++i) {
            const uint64_t entry = uint64_t(base) + 4 + uint64_t(i) * kAlarmEntrySize;
            const QString name = QStringLiteral("item[%1]").arg(i);
            if (!Need(1, name, entry, kAlarmEntrySize))
                return;
            Add(1, name);
            for (int f = 0; f < 6; ++f)
                Add(2, FieldText(QLatin1String(fields[f]), U16(entry + 2 * f), 4));
        }
    }

    void GlyphDirectory(uint32_t base)
    {
        if (!Need(1, QStringLiteral("fontHeight"), base, 4))
            return;
        const uint32_t count = U16(uint64_t(base) + 2);
        Add(1, FieldText(QStringLiteral("fontHeight"), U8(base), 2));
        Add(1, FieldText(QStringLiteral("rev"), U8(uint64_t(base) + 1), 2));
        Add(1, FieldText(QStringLiteral("count"), count, 4));
        for (uint32_t i = 0; i < count; ++i) {
            const uint64_t at = uint64_t(base) + 4 + 4 * uint64_t(i);
            if (!Need(1, QStringLiteral("item[%1]").arg(i), at, 4))
                return;
            const uint32_t entry = U32(at);
            Add(1,
                QStringLiteral("item[%1] fontPattenLoc=0x%2[Width=%3,Loc=%4]")
                    .arg(i)
                    .arg(Hex(entry, 8))
                    .arg(entry >> 24)
                    .arg(Hex(entry & 0xFFFFFF, 6)));
        }
    }

    // Each string steps the walk by at least 2 bytes towards end.
    void StringPool(uint32_t base, uint32_t end)
    {
        for (uint64_t at = base; at < end;) {
            const QString name = QStringLiteral("the string at [%1]").arg(Hex(uint32_t(at - base), 4));
            if (!Need(1, name, at, 2))
                return;
            const uint32_t length = U16(at);
            Add(1, QStringLiteral("[%1] String Len=(%2)").arg(Hex(uint32_t(at - base), 4)).arg(length));
            if (!Need(1, name, at, 2 + 2 * uint64_t(length)))
                return;
            at += 2 + 2 * uint64_t(length);
        }
    }

    void ScreenHeader(uint32_t base)
    {
        if (!Need(1, QStringLiteral("the screen header"), base, kScreenHeaderSize))
            return;
        const uint64_t at = base;
        Add(1, FieldText(QStringLiteral("startupCount"), U8(at), 2));
        Add(1, FieldText(QStringLiteral("saverCount"), U8(at + 1), 2));
        Add(1, FieldText(QStringLiteral("endCondition"), U8(at + 2), 2));
        Add(1, FieldText(QStringLiteral("rev"), U8(at + 3), 2));
        Add(1, FieldText(QStringLiteral("filpTime"), U16(at + 4), 4));
        Add(1, FieldText(QStringLiteral("cycleCount"), U16(at + 6), 4));
    }

    void Configuration(uint32_t base)
    {
        for (int i = 0; i < kConfigPairCount; ++i) {
            const uint64_t at = uint64_t(base) + 8 * uint64_t(i);
            const QString type = QStringLiteral("data[%1].type").arg(i);
            if (!Need(1, type, at, 4))
                return;
            Add(1, FieldText(type, U32(at), 8));
            const QString value = QStringLiteral("data[%1].value").arg(i);
            if (!Need(1, value, at + 4, 4))
                return;
            Add(1, FieldText(value, U32(at + 4), 8));
        }
    }

    // True when length bytes at offset lie inside the image; else a stop
    // line naming what and where.
    bool Need(int depth, const QString &what, uint64_t offset, uint64_t length)
    {
        if (Fits(offset, length))
            return true;
        Stop(depth,
             QStringLiteral("Stopped: %1 at byte %2 runs past the end of the file (%3 bytes)")
                 .arg(what)
                 .arg(offset)
                 .arg(m_size));
        return false;
    }

    bool Fits(uint64_t offset, uint64_t length) const
    {
        return offset <= m_size && length <= m_size - offset;
    }

    void Add(int depth, const QString &text)
    {
        if (m_trace.Lines.size() >= size_t(std::max(m_maxLines, 0)))
            throw TraceFull();
        m_trace.Lines.push_back({depth, text, false});
    }

    void Stop(int depth, const QString &text)
    {
        Add(depth, QString());
        SetStop(m_trace.Lines.back(), text);
    }

    void SetStop(TwTraceLine &line, const QString &text)
    {
        line.Text = text;
        line.Stop = true;
        m_trace.Stops.append(text);
    }

    // Reads below are checked by Need first.
    uint32_t U8(uint64_t at) const { return m_data[at]; }
    uint16_t U16(uint64_t at) const { return static_cast<uint16_t>(m_data[at] | m_data[at + 1] << 8); }
    uint32_t U32(uint64_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }

    const uint8_t *m_data;
    int m_maxLines;
    uint64_t m_size;
    uint32_t m_menuPagesBase = 0;
    uint32_t m_attributePoolBase = 0;
    // Per page location: not met, being shown (on the path from the Main
    // Menu's page), or shown.
    std::vector<uint8_t> m_pageState;
    TwImageTrace m_trace;
};

TwImageTrace SingleStop(const QString &text)
{
    TwImageTrace trace;
    trace.Lines.push_back({0, text, true});
    trace.Stops.append(text);
    return trace;
}

}  // namespace

TwImageTrace TraceMenuImage(const QByteArray &image, int maxLines)
{
    return TraceReader(image, maxLines).Run();
}

TwImageTrace TraceMenuImageFile(const QString &path)
{
    const QString name = QDir::toNativeSeparators(path);
    QByteArray bytes;
    QString reason;
    switch (ReadFileBounded(path, kTraceMaxFileSize, bytes, reason)) {
    case TFileRead::Ok: break;
    case TFileRead::Unreadable: return SingleStop(QStringLiteral("Cannot read %1: %2").arg(name, reason));
    case TFileRead::TooLarge:
        return SingleStop(QStringLiteral("Not read: %1 is larger than %2 bytes, too large for a menu image")
                              .arg(name, QString::number(kTraceMaxFileSize)));
    }
    return TraceMenuImage(bytes);
}
