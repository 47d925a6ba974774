#include "TastoGnome.h"

#include <QProcess>
#include <QRegularExpression>
#include <algorithm>

namespace {

const QString kMediaKeys = QStringLiteral("org.gnome.settings-daemon.plugins.media-keys");
const QString kLista = QStringLiteral("custom-keybindings");
const QString kAcceleratore = QStringLiteral("<Control><Alt>n");

// The schemas where GNOME keeps its own shortcuts.
const char* const kSchemiTasti[] = {"org.gnome.desktop.wm.keybindings", "org.gnome.shell.keybindings",
                                    "org.gnome.mutter.keybindings", "org.gnome.mutter.wayland.keybindings",
                                    "org.gnome.settings-daemon.plugins.media-keys"};

QString voce(const QString& percorso)
{
    return kMediaKeys + QStringLiteral(".custom-keybinding:") + percorso;
}

// What `gsettings` prints; none when it fails.
std::optional<QString> gsettings(const QStringList& argomenti)
{
    QProcess p;
    p.start(QStringLiteral("gsettings"), argomenti);
    if (!p.waitForFinished(5000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// A string in GVariant's text form.
QString testoGVariant(QString s)
{
    s.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

QString listaGVariant(const QStringList& voci)
{
    QStringList v;
    for (const QString& s : voci)
        v << testoGVariant(s);
    return QLatin1Char('[') + v.join(QStringLiteral(", ")) + QLatin1Char(']');
}

// A command line as GNOME splits it (shell quoting, no shell).
QString rigaComando(const QStringList& comando)
{
    QStringList parti;
    for (QString p : comando)
        parti << QLatin1Char('\'') + p.replace(QLatin1Char('\''), QStringLiteral("'\\''")) + QLatin1Char('\'');
    return parti.join(QLatin1Char(' '));
}

// The modifiers (in one spelling, sorted) and the key of an accelerator.
std::pair<QStringList, QString> parti(const QString& acceleratore)
{
    static const QRegularExpression mod(QStringLiteral("<([^>]+)>"));
    QStringList mods;
    for (auto it = mod.globalMatch(acceleratore); it.hasNext();) {
        const QString m = it.next().captured(1).toLower();
        if (m == QLatin1String("primary") || m == QLatin1String("control") || m == QLatin1String("ctrl"))
            mods << QStringLiteral("Ctrl");
        else if (m == QLatin1String("alt") || m == QLatin1String("mod1"))
            mods << QStringLiteral("Alt");
        else if (m == QLatin1String("super") || m == QLatin1String("mod4"))
            mods << QStringLiteral("Super");
        else
            mods << m.left(1).toUpper() + m.mid(1);
    }
    mods.sort();
    return {mods, QString(acceleratore).remove(mod).trimmed()};
}

} // namespace

TastoGnome::TastoGnome(QStringList comando, QObject* parent) : TastoComando(std::move(comando), parent) {}

QStringList TastoGnome::stringhe(const QString& valore)
{
    static const QRegularExpression citata(QStringLiteral(R"x('((?:[^'\\]|\\.)*)'|"((?:[^"\\]|\\.)*)")x"));
    QStringList s;
    for (auto it = citata.globalMatch(valore); it.hasNext();) {
        const auto m = it.next();
        QString t = m.captured(1).isNull() ? m.captured(2) : m.captured(1);
        s << t.replace(QRegularExpression(QStringLiteral(R"(\\(.))")), QStringLiteral("\\1"));
    }
    return s;
}

bool TastoGnome::eNostra(const QString& acceleratore)
{
    const auto [mods, tasto] = parti(acceleratore);
    return mods == QStringList{"Alt", "Ctrl"} && tasto.compare(QLatin1String("n"), Qt::CaseInsensitive) == 0;
}

QString TastoGnome::descrivi(const QString& acceleratore)
{
    auto [mods, tasto] = parti(acceleratore);
    // In the order the desktop writes them.
    static const QStringList ordine = {"Ctrl", "Alt", "Shift", "Super"};
    std::sort(mods.begin(), mods.end(),
              [](const QString& a, const QString& b) { return ordine.indexOf(a) < ordine.indexOf(b); });
    return (mods + QStringList{tasto.left(1).toUpper() + tasto.mid(1)}).join(QLatin1Char('+'));
}

std::optional<QString> TastoGnome::prendi()
{
    const auto lista = gsettings({QStringLiteral("get"), kMediaKeys, kLista});
    if (!lista)
        return std::nullopt;
    QStringList percorsi = stringhe(*lista);
    if (percorsi.contains(kPercorso)) {
        // Set by the user in GNOME's settings, or by us before: kept as it is.
        const QStringList legato = stringhe(gsettings({QStringLiteral("get"), voce(kPercorso),
                                                       QStringLiteral("binding")}).value_or(QString()));
        if (!legato.value(0).isEmpty()) {
            gsettings({QStringLiteral("set"), voce(kPercorso), QStringLiteral("command"),
                       testoGVariant(rigaComando(comando_))});
            return descrivi(legato.value(0));
        }
    }
    QStringList usati;
    for (const char* schema : kSchemiTasti)
        usati += stringhe(gsettings({QStringLiteral("list-recursively"), QLatin1String(schema)}).value_or(QString()));
    for (const QString& p : percorsi)
        if (p != kPercorso)
            usati += stringhe(gsettings({QStringLiteral("get"), voce(p), QStringLiteral("binding")}).value_or(QString()));
    for (const QString& a : usati)
        if (eNostra(a))
            return std::nullopt;
    const QString v = voce(kPercorso);
    const bool scritto = gsettings({QStringLiteral("set"), v, QStringLiteral("name"), testoGVariant(QStringLiteral("Halvora"))})
                         && gsettings({QStringLiteral("set"), v, QStringLiteral("command"),
                                       testoGVariant(rigaComando(comando_))})
                         && gsettings({QStringLiteral("set"), v, QStringLiteral("binding"), testoGVariant(kAcceleratore)});
    if (!scritto)
        return std::nullopt;
    if (!percorsi.contains(kPercorso)) {
        percorsi << kPercorso;
        if (!gsettings({QStringLiteral("set"), kMediaKeys, kLista, listaGVariant(percorsi)}))
            return std::nullopt;
    }
    return descrivi(kAcceleratore);
}

void TastoGnome::lascia()
{
    const auto lista = gsettings({QStringLiteral("get"), kMediaKeys, kLista});
    if (!lista)
        return;
    QStringList percorsi = stringhe(*lista);
    if (percorsi.removeAll(kPercorso) > 0)
        gsettings({QStringLiteral("set"), kMediaKeys, kLista, listaGVariant(percorsi)});
    gsettings({QStringLiteral("reset-recursively"), voce(kPercorso)});
}
