#include "DesktopEntries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

std::optional<DesktopEntry> DesktopEntries::leggi(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text) || f.size() > 1 << 20)
        return std::nullopt;
    DesktopEntry e;
    e.percorso = percorso;
    bool inGruppo = false;
    bool applicazione = false;
    bool nascosta = false;
    while (!f.atEnd()) {
        const QString riga = QString::fromUtf8(f.readLine()).trimmed();
        if (riga.startsWith(QLatin1Char('['))) {
            inGruppo = riga == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inGruppo)
            continue;
        const int uguale = riga.indexOf(QLatin1Char('='));
        if (uguale <= 0)
            continue;
        const QString chiave = riga.left(uguale).trimmed();
        const QString valore = riga.mid(uguale + 1).trimmed();
        if (chiave == QLatin1String("Type"))
            applicazione = valore == QLatin1String("Application");
        else if (chiave == QLatin1String("Name"))
            e.nome = valore;
        else if (chiave == QLatin1String("Icon"))
            e.icona = valore;
        else if (chiave == QLatin1String("StartupWMClass"))
            e.wmClass = valore;
        else if (chiave == QLatin1String("Hidden") || chiave == QLatin1String("NoDisplay"))
            nascosta = nascosta || (chiave == QLatin1String("Hidden") && valore == QLatin1String("true"));
        else if (chiave == QLatin1String("Exec")) {
            QString primo = valore.section(QLatin1Char(' '), 0, 0);
            primo.remove(QLatin1Char('"'));
            e.exec = QFileInfo(primo).fileName();
        }
    }
    if (!applicazione || nascosta)
        return std::nullopt;
    return e;
}

DesktopEntries DesktopEntries::daCartelle(const QStringList& cartelle)
{
    DesktopEntries r;
    for (const QString& cartella : cartelle) {
        QDirIterator it(cartella, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString percorso = it.next();
            // Entries in subfolders get their folder as a dash-joined prefix.
            QString id = QDir(cartella).relativeFilePath(percorso);
            id.chop(8);
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (r.voci_.contains(id))
                continue;
            if (auto e = leggi(percorso)) {
                e->id = id;
                r.voci_.insert(id, *e);
            }
        }
    }
    return r;
}

DesktopEntries DesktopEntries::daSistema()
{
    return daCartelle(QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation));
}

std::optional<DesktopEntry> DesktopEntries::perId(const QString& id) const
{
    auto it = voci_.constFind(id);
    if (it == voci_.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<DesktopEntry> DesktopEntries::perFinestra(const QString& istanza, const QString& classe,
                                                        const QString& eseguibile) const
{
    const QStringList nomi = {classe, istanza};
    for (const QString& n : nomi) {
        if (n.isEmpty())
            continue;
        for (const auto& e : voci_)
            if (!e.wmClass.isEmpty() && e.wmClass.compare(n, Qt::CaseInsensitive) == 0)
                return e;
    }
    for (const QString& n : nomi) {
        if (n.isEmpty())
            continue;
        for (const auto& e : voci_)
            if (e.id.compare(n, Qt::CaseInsensitive) == 0)
                return e;
    }
    for (const QString& n : nomi) {
        if (n.isEmpty())
            continue;
        for (const auto& e : voci_)
            if (e.id.section(QLatin1Char('.'), -1).compare(n, Qt::CaseInsensitive) == 0)
                return e;
    }
    if (!eseguibile.isEmpty())
        for (const auto& e : voci_)
            if (e.exec == eseguibile)
                return e;
    return std::nullopt;
}
