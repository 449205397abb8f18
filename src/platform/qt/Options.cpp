// The player's options, remembered with QSettings in the user's configuration folder (the
// XDG rules: $XDG_CONFIG_HOME/Vexlor/vexlor.conf). A missing file means the defaults; a
// file that cannot be read or holds something else than yes or no means them too, with one
// line on stderr so the player knows why a choice was forgotten.
#include <QSettings>

#include <cstdio>
#include <string>

#include "platform/wnd/Backend.h"

namespace {

void Complain(const QSettings& settings, const char* what)
{
    std::fprintf(stderr, "vexlor: settings file %s %s; using the defaults\n",
                 settings.fileName().toLocal8Bit().constData(), what);
}

}  // namespace

namespace backend {

bool LoadOption(const char* name, bool fallback)
{
    const QSettings settings(QStringLiteral("Vexlor"), QStringLiteral("vexlor"));
    if (settings.status() != QSettings::NoError) {
        Complain(settings, "cannot be read");
        return fallback;
    }
    const QString value = settings.value(QString::fromUtf8(name)).toString();
    if (value == QLatin1String("true"))
        return true;
    if (value == QLatin1String("false"))
        return false;
    if (!value.isEmpty())
        Complain(settings, (std::string("holds no yes or no for ") + name).c_str());
    return fallback;
}

void SaveOption(const char* name, bool value)
{
    QSettings settings(QStringLiteral("Vexlor"), QStringLiteral("vexlor"));
    settings.setValue(QString::fromUtf8(name), value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        Complain(settings, "cannot be written");
}

}  // namespace backend
