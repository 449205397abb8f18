// The turret as a thin white outline: a barrel 20 pixels ahead of the centre, running
// back to 10 pixels behind it, and a narrow lopsided spindle around its middle.
#include "core/Trig.h"
#include "platform/gdi/DC.h"
#include "sentry/Sentry.h"

namespace {

CPoint Truncated(double x, double y) { return CPoint(TruncToInt(x), TruncToInt(y)); }

}  // namespace

void CSentry::Draw(CDC* dc) const
{
    CPen white(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* const previousPen = dc->SelectObject(&white);

    const CVector2& p = m_position;
    const CVector2& h = m_heading;
    const double theta = h.Angle();
    const double ra = CVector2::DegToRad(theta - 8.0);
    const double rb = CVector2::DegToRad(theta - 158.0);
    const CPoint a = Truncated(p.m_x - 4.0 * trig::Cos(ra), p.m_y - 4.0 * trig::Sin(ra));
    const CPoint b = Truncated(p.m_x + 4.0 * trig::Cos(rb), p.m_y + 4.0 * trig::Sin(rb));
    const CPoint front = (p + h).ToPoint();
    const CPoint back = (p - h).ToPoint();

    dc->MoveTo(p.ToPoint());
    dc->LineTo((p + h * 2.0).ToPoint());
    dc->LineTo(back);
    dc->MoveTo(front);
    dc->LineTo(a);
    dc->LineTo(back);
    dc->MoveTo(front);
    dc->LineTo(b);
    dc->LineTo(back);

    dc->SelectObject(previousPen);
    white.DeleteObject();
}
