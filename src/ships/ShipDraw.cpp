// The ship as a swept arrowhead in its own pen, its hit points below it, straight
// brackets for a boost, diagonal ones for invulnerability, a yellow spark for a hit.
#include <cstdio>

#include "core/RandomRange.h"
#include "core/Trig.h"
#include "platform/gdi/DC.h"
#include "ships/Ship.h"

namespace {

constexpr double kWingLength = 15.0;
constexpr double kWingOffsetDegrees = 30.0;
constexpr double kWingSpreadDegrees = 115.0;
constexpr COLORREF kSparkColour = 0x32C8C8;

struct BracketStroke
{
    int fromX, fromY, toX, toY;
};

constexpr BracketStroke kDiagonalBrackets[] = {
    {+10, +14, +14, +10},
    {+14, -10, +10, -14},
    {-14, -10, -10, -14},
    {-10, +14, -14, +10},
};

constexpr BracketStroke kStraightBrackets[] = {
    {+14, -10, +14, +10},
    {-10, -14, +10, -14},
    {-14, +10, -14, -10},
    {-10, +14, +10, +14},
};

CPoint Offset(const CVector2& p, int dx, int dy) { return CPoint(TruncToInt(p.m_x + dx), TruncToInt(p.m_y + dy)); }

void DrawBrackets(CDC* dc, const CVector2& p, const BracketStroke (&strokes)[4])
{
    for (const BracketStroke& s : strokes) {
        dc->MoveTo(Offset(p, s.fromX, s.fromY));
        dc->LineTo(Offset(p, s.toX, s.toY));
    }
}

}  // namespace

void CShip::Draw(CDC* dc)
{
    Draw(dc, m_pen);
}

void CShip::Draw(CDC* dc, CPen& pen)
{
    const CVector2& p = m_position;
    const double theta = m_heading.Angle();
    const double a1 = theta - kWingOffsetDegrees;
    const double a2 = a1 - kWingSpreadDegrees;

    char label[16];
    const int length = std::snprintf(label, sizeof label, "%d", m_hitPoints);
    dc->TextOut(TruncToInt(p.m_x - 4), TruncToInt(p.m_y + 15), std::string_view(label, length));

    CPen* const previousPen = dc->SelectObject(&pen);

    const CPoint centre = p.ToPoint();
    const CPoint nose = (p + m_heading).ToPoint();
    const CPoint tail = (p - m_heading).ToPoint();
    const double r1 = CVector2::DegToRad(a1);
    const double r2 = CVector2::DegToRad(a2);
    const CPoint wingA(TruncToInt(p.m_x - kWingLength * trig::Cos(r1)), TruncToInt(p.m_y - kWingLength * trig::Sin(r1)));
    const CPoint wingB(TruncToInt(p.m_x + kWingLength * trig::Cos(r2)), TruncToInt(p.m_y + kWingLength * trig::Sin(r2)));

    dc->MoveTo(centre);
    dc->LineTo(nose);
    dc->LineTo(tail);
    dc->MoveTo(nose);
    dc->LineTo(wingA);
    dc->LineTo(tail);
    dc->MoveTo(nose);
    dc->LineTo(wingB);
    dc->MoveTo(wingB);
    dc->LineTo(tail);

    if (m_invulnerableTimer != 0)
        DrawBrackets(dc, p, kDiagonalBrackets);
    if (m_boostTimer != 0)
        DrawBrackets(dc, p, kStraightBrackets);

    if (m_hit) {
        CBrush spark(kSparkColour);
        CBrush* const previousBrush = dc->SelectObject(&spark);
        m_hit = false;
        const int dx = RandomRange(0, 20) - 10;
        const int dy = RandomRange(0, 20) - 10;
        dc->Ellipse(TruncToInt(dx + p.m_x - 6), TruncToInt(dy + p.m_y - 6), TruncToInt(dx + p.m_x + 6),
                    TruncToInt(dy + p.m_y + 6));
        dc->SelectObject(previousBrush);
        spark.DeleteObject();
    }

    for (const CBullet& bullet : m_bullets)
        bullet.Draw(dc);

    dc->SelectObject(previousPen);
}
