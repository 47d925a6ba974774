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
            e.comando = divideExec(valore);
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

QStringList DesktopEntries::divideExec(const QString& grezzo)
{
    // The file's own escapes first, then the command's quoting.
    QString valore;
    for (int i = 0; i < grezzo.size(); ++i) {
        const QChar c = grezzo.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= grezzo.size()) {
            valore += c;
            continue;
        }
        // Only these are the file's escapes; any other stays for the quoting.
        const QChar d = grezzo.at(++i);
        if (d == QLatin1Char('s'))
            valore += QLatin1Char(' ');
        else if (d == QLatin1Char('n'))
            valore += QLatin1Char('\n');
        else if (d == QLatin1Char('t'))
            valore += QLatin1Char('\t');
        else if (d == QLatin1Char('r'))
            valore += QLatin1Char('\r');
        else if (d == QLatin1Char('\\'))
            valore += d;
        else
            valore += QString(c) + d;
    }
    QStringList r;
    QString corrente;
    bool inCorso = false, virgolette = false;
    for (int i = 0; i < valore.size(); ++i) {
        const QChar c = valore.at(i);
        if (virgolette) {
            if (c == QLatin1Char('"'))
                virgolette = false;
            else if (c == QLatin1Char('\\') && i + 1 < valore.size())
                corrente += valore.at(++i);
            else
                corrente += c;
        } else if (c == QLatin1Char('"')) {
            virgolette = inCorso = true;
        } else if (c.isSpace()) {
            if (inCorso)
                r << corrente;
            corrente.clear();
            inCorso = false;
        } else {
            corrente += c;
            inCorso = true;
        }
    }
    if (virgolette)
        return {};
    if (inCorso)
        r << corrente;
    return r;
}

QStringList DesktopEntries::comandoPerUrl(const DesktopEntry& voce, const QString& url)
{
    QStringList r;
    bool messo = false;
    for (const QString& a : voce.comando) {
        static const QStringList perIndirizzo = {QStringLiteral("%u"), QStringLiteral("%U"), QStringLiteral("%f"),
                                                 QStringLiteral("%F")};
        if (perIndirizzo.contains(a)) {
            if (!messo && !url.isEmpty())
                r << url;
            messo = true;
            continue;
        }
        // Other codes (%i, %c, %k and the deprecated ones) are dropped; %% is a percent sign.
        QString s;
        for (int i = 0; i < a.size(); ++i) {
            if (a.at(i) != QLatin1Char('%') || i + 1 >= a.size()) {
                s += a.at(i);
                continue;
            }
            if (a.at(++i) == QLatin1Char('%'))
                s += QLatin1Char('%');
        }
        if (!s.isEmpty())
            r << s;
    }
    if (!r.isEmpty() && !messo && !url.isEmpty())
        r << url;
    return r;
}
