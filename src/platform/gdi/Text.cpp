// TextOut and GetTextExtent in the default font: DejaVu Sans Mono Bold at 14 pixels, an
// 8 x 16 cell like the classic system font. Qt renders every glyph once, without
// antialiasing, into a cache of masks; drawing a text then only copies masks.
#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"

namespace {

constexpr int kFirstChar = 32;
constexpr int kLastChar = 126;
constexpr int kBox = kLastChar - kFirstChar + 1;  // the glyph of every character outside the cache
constexpr int kGlyphCount = kBox + 1;

// One byte per pixel of each glyph's cell (advance x height), 1 where the text colour goes.
struct GlyphCache
{
    int height = 0;
    std::array<int, kGlyphCount> advance{};
    std::array<std::size_t, kGlyphCount> offset{};
    std::vector<std::uint8_t> masks;

    // The glyph of one byte of UTF-8 text; -1 for the continuation bytes of a character, so that
    // each character outside the cache shows as one box.
    static int IndexOf(char c)
    {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= kFirstChar && byte <= kLastChar)
            return byte - kFirstChar;
        return byte >= 0x80 && byte < 0xC0 ? -1 : kBox;
    }

    std::uint8_t* Add(int index, int width)
    {
        advance[index] = width;
        offset[index] = masks.size();
        masks.resize(masks.size() + std::size_t(width) * std::size_t(height));
        return masks.data() + offset[index];
    }

    void AddBox(int index, int width, int top, int bottom)
    {
        std::uint8_t* mask = Add(index, width);
        for (int y = top; y <= bottom; ++y)
            for (int x = 1; x <= width - 2; ++x)
                mask[y * width + x] = y == top || y == bottom || x == 1 || x == width - 2;
    }
};

GlyphCache RenderWithQt()
{
    QFont font(QStringList{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(14);
    font.setBold(true);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    const QFontMetrics metrics(font);

    GlyphCache cache;
    cache.height = std::max(metrics.height(), 1);
    for (int c = kFirstChar; c <= kLastChar; ++c)
    {
        const QChar ch(c);
        const int width = std::max(metrics.horizontalAdvance(ch), 1);
        QImage image(width, cache.height, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(0, metrics.ascent(), QString(ch));
        }
        // Antialiasing is off, but a threshold keeps every pixel one of the two colours whatever the engine does.
        std::uint8_t* mask = cache.Add(c - kFirstChar, width);
        for (int y = 0; y < cache.height; ++y)
            for (int x = 0; x < width; ++x)
                mask[y * width + x] = qGray(image.pixel(x, y)) < 128;
    }
    const int boxTop = std::max(metrics.ascent() - metrics.capHeight(), 0);
    cache.AddBox(kBox, cache.advance['0' - kFirstChar], boxTop, std::max(metrics.ascent() - 1, boxTop));
    return cache;
}

// Without a Qt GUI application there is no font engine: every character is a box.
GlyphCache BoxesOnly()
{
    GlyphCache cache;
    cache.height = 16;
    for (int i = 0; i < kGlyphCount; ++i)
    {
        if (i == ' ' - kFirstChar)
            cache.Add(i, 8);
        else
            cache.AddBox(i, 8, 3, 12);
    }
    return cache;
}

const GlyphCache& Glyphs()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
    {
        static const GlyphCache boxes = BoxesOnly();
        return boxes;
    }
    static const GlyphCache rendered = RenderWithQt();
    return rendered;
}

}  // namespace

bool CDC::TextOut(int x, int y, std::string_view text)
{
    const Surface surface = Surface::Of(m_bitmap);
    if (surface.IsEmpty())
        return m_created;
    const GlyphCache& glyphs = Glyphs();
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t(y) + glyphs.height, surface.height);
    if (top >= bottom)
        return m_created;
    const std::uint32_t ink = ToSurfacePixel(m_textColour);
    const std::uint32_t paper = ToSurfacePixel(m_bkColour);
    const bool opaque = m_bkMode == OPAQUE;

    std::int64_t cellLeft = x;
    for (const char c : text)
    {
        if (cellLeft >= surface.width)
            break;
        const int index = GlyphCache::IndexOf(c);
        if (index < 0)
            continue;
        const int width = glyphs.advance[index];
        const std::int64_t left = std::max<std::int64_t>(cellLeft, 0);
        const std::int64_t right = std::min<std::int64_t>(cellLeft + width, surface.width);
        const std::uint8_t* mask = glyphs.masks.data() + glyphs.offset[index];
        for (std::int64_t py = top; py < bottom; ++py)
        {
            const std::uint8_t* maskRow = mask + ((py - y) * width + (left - cellLeft));
            std::uint32_t* row = surface.pixels + py * surface.width + left;
            const std::int64_t count = right - left;
            if (opaque)
            {
                for (std::int64_t i = 0; i < count; ++i)
                    row[i] = maskRow[i] ? ink : paper;
            }
            else
            {
                for (std::int64_t i = 0; i < count; ++i)
                {
                    if (maskRow[i])
                        row[i] = ink;
                }
            }
        }
        cellLeft += width;
    }
    Drew(x, top, cellLeft, bottom);
    return m_created;
}

CSize CDC::GetTextExtent(std::string_view text) const
{
    const GlyphCache& glyphs = Glyphs();
    std::int64_t width = 0;
    for (const char c : text)
    {
        const int index = GlyphCache::IndexOf(c);
        if (index >= 0)
            width += glyphs.advance[index];
    }
    return CSize{int(std::min<std::int64_t>(width, INT_MAX)), glyphs.height};
}
