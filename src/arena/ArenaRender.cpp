// The frame: drawn whole into the off-screen surface in a fixed order, then copied to
// the window in one block, so the window never shows a half-drawn frame or flickers.
#include <cstdio>

#include "arena/ArenaView.h"

#include "app/PlayerOptions.h"
#include "ships/Palette.h"

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr int kScoreRowY = 10;
constexpr int kDeathsRowY = 30;
constexpr int kFirstShipColumnX = 100;
constexpr int kShipColumnSpacing = 30;
constexpr int kSentryColumnX = 300;
constexpr int kLabelX = 10;

void DrawNumber(CDC& dc, int x, int y, int value)
{
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%d", value);
    dc.TextOut(x, y, std::string_view(text, length));
}

}  // namespace

void CArenaView::OnSize(UINT, int, int)
{
    Default();
    CRect client;
    GetClientRect(&client);
    CDC* const windowDC = GetDC();
    if (m_memDC.IsCreated()) {
        m_memDC.DeleteDC();
        m_memBitmap.DeleteObject();
    }
    m_memDC.CreateCompatibleDC(windowDC);
    m_memBitmap.CreateCompatibleBitmap(windowDC, client.Width(), client.Height());
    m_memDC.SelectObject(&m_memBitmap);
    ReleaseDC(windowDC);
}

bool CArenaView::OnEraseBkgnd(CDC*) { return false; }

void CArenaView::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    // The sparks and the power-ups' flashes draw random numbers from the game's generator.
    // Local play has always let them; a recorded or shared session must not depend on how
    // often a window painted, so there the frame leaves the generator as it found it. Its
    // draws depend on the arena's state alone: its generator (online, the session may have
    // run since) and its first second, not on how long it stood paused, so that every
    // machine shows a paused game alike.
    const CRandomGenerator generator = g_randomGenerator;
    const std::int32_t second = g_sessionSecond;
    if (m_clock.m_counted) {
        g_randomGenerator = m_random;
        g_sessionSecond = m_clock.m_startSecond;
    }
    if (m_online != nullptr && CSize{client.Width(), client.Height()} != m_size)
        DrawScaled(client);
    else
        DrawFrame(m_memDC, client);
    if (m_clock.m_counted) {
        g_randomGenerator = generator;
        g_sessionSecond = second;
    }
    dc.BitBlt(client.left, client.top, client.Width(), client.Height(), &m_memDC, 0, 0, SRCCOPY);
}

// The shared arena whole in a window of another size: drawn at its own size, then copied
// scaled into the window's surface with black around it.
void CArenaView::DrawScaled(const CRect& client)
{
    if (m_arenaBitmap.m_width != m_size.cx || m_arenaBitmap.m_height != m_size.cy) {
        m_arenaBitmap.DeleteObject();
        m_arenaDC.CreateCompatibleDC(&m_memDC);
        m_arenaBitmap.CreateCompatibleBitmap(&m_memDC, m_size.cx, m_size.cy);
        m_arenaDC.SelectObject(&m_arenaBitmap);
    }
    DrawFrame(m_arenaDC, CRect(0, 0, m_size.cx, m_size.cy));
    const CScaledPlacement placement = PlaceScaled(m_size, CSize{client.Width(), client.Height()});
    m_memDC.FillSolidRect(client, kBlack);
    m_memDC.ScaleBlt(placement.origin.x, placement.origin.y, placement.scale, &m_arenaDC);
}

void CArenaView::DrawFrame(CDC& dc, const CRect& client)
{
    // The palette changes only the colours drawn, never the ships' own.
    const bool palette = m_options != nullptr && m_options->m_colourBlind;
    dc.FillSolidRect(client, kBlack);
    dc.SetTextColor(kWhite);
    for (int i = 0; i < m_shipCount; ++i) {
        m_ships[i].Draw(&dc, palette ? m_palettePens[i] : m_ships[i].m_pen);
        m_explosions[i].Draw(&dc);
    }
    for (const CBullet& bullet : m_sentry.m_bullets)
        bullet.Draw(&dc);
    m_sentry.Draw(&dc);
    for (int i = 0; i < m_shipCount; ++i) {
        const int x = kFirstShipColumnX + kShipColumnSpacing * i;
        dc.SetTextColor(palette ? kColourBlindPalette[i] : m_ships[i].m_colour);
        DrawNumber(dc, x, kScoreRowY, m_ships[i].m_score);
        DrawNumber(dc, x, kDeathsRowY, m_ships[i].m_deaths);
    }
    dc.SetTextColor(kWhite);
    for (const CPowerUp& powerUp : m_powerUps)
        powerUp.Draw(&dc);
    DrawNumber(dc, kSentryColumnX, kScoreRowY, m_sentry.m_score);
    DrawNumber(dc, kSentryColumnX, kDeathsRowY, m_sentry.m_deaths);
    dc.TextOut(kLabelX, kScoreRowY, "Score:");
    dc.TextOut(kLabelX, kDeathsRowY, "Deaths:");
}
