#include "ArchivioCalendario.h"
#include "Ical.h"
#include "Testi.h"
#include "VociIcal.h"

#include "Colori.h"
#include "FileIni.h"
#include "SalvataggioSicuro.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kImpostazioni = QStringLiteral("archivio.ini");
// A leftover larger than this is no calendar of ours.
constexpr qint64 kCalendarioMassimo = 256 * 1024 * 1024;
const QString kChiavePredefinito = QStringLiteral("elencoPredefinito");


// What tells a changed file from the one already parsed: a write through a
// temporary file and a rename gives a new inode even within one tick.
struct Impronta {
    qint64 inode = -1, dimensione = -1, secondi = 0, nanosecondi = 0;
    bool operator==(const Impronta&) const = default;
};

std::optional<Impronta> improntaDi(const QString& percorso)
{
    struct stat s {};
    if (::stat(QFile::encodeName(percorso).constData(), &s) != 0)
        return std::nullopt;
    return Impronta{qint64(s.st_ino), qint64(s.st_size), qint64(s.st_mtim.tv_sec), qint64(s.st_mtim.tv_nsec)};
}

QColor coloreDel(icalcomponent* calendario)
{
    for (icalcomponent* c : Ical::calendari(calendario))
        if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_COLOR_PROPERTY)) {
            QColor colore(QString::fromUtf8(icalproperty_get_color(p)).trimmed());
            if (colore.isValid())
                return colore;
        }
    return Colori::indaco();
}

// A VCALENDAR ready to hold reminders.
Ical::Componente nuovoCalendario(const QString& nome)
{
    Ical::Componente cal(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(cal.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal.get(), icalproperty_new_prodid("-//Halvora//Agenda//IT"));
    icalproperty* nomeProp = icalproperty_new_x(nome.toUtf8().constData());
    icalproperty_set_x_name(nomeProp, "X-WR-CALNAME");
    icalcomponent_add_property(cal.get(), nomeProp);
    return cal;
}

} // namespace

struct ArchivioCalendario::File {
    Impronta impronta;
    Ical::Componente radice;
    QColor colore;
};

// A file read afresh for a write, and the reminder found in it.
struct ArchivioCalendario::Modifica {
    Ical::Componente radice;
    icalcomponent* todo = nullptr;
};

ArchivioCalendario::ArchivioCalendario(QString cartella) : cartella_(std::move(cartella)) {}

ArchivioCalendario::~ArchivioCalendario() = default;

QString ArchivioCalendario::cartellaPredefinita()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/calendario");
}

void ArchivioCalendario::recuperaAvanzi()
{
    avanziVisti_ = true;
    for (const SalvataggioSicuro::Avanzo& a : SalvataggioSicuro::avanzi(cartella_)) {
        // Only a whole calendar is worth keeping: a cut one, or the folder's
        // settings (written again when needed), go.
        QFile f(a.percorso);
        const bool calendario = a.destinazione.isEmpty() || a.destinazione.endsWith(QLatin1String(".ics"));
        const QByteArray contenuto =
            calendario && f.size() <= kCalendarioMassimo && f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        f.close();
        const Ical::Componente radice = contenuto.trimmed().endsWith("END:VCALENDAR") ? Ical::leggi(contenuto)
                                                                                      : Ical::Componente();
        if (!radice || !Ical::integro(radice.get())) {
            QFile::remove(a.percorso);
            continue;
        }
        if (SalvataggioSicuro::ripristina(a)) {
            qInfo("Calendario recuperato da un salvataggio interrotto: %s", qPrintable(a.destinazione));
            continue;
        }
        // Its file changed since, or is unknown: kept beside it, where no
        // reading takes it for a calendar of its own.
        const QString base = a.destinazione.isEmpty() ? QDir(cartella_).filePath(Testi::tr("Promemoria") + QStringLiteral(".ics"))
                                                      : a.destinazione;
        QString copia = base + QStringLiteral(".recuperato");
        for (int n = 2; QFileInfo::exists(copia); ++n)
            copia = base + QStringLiteral(".recuperato-%1").arg(n);
        if (QFile::rename(a.percorso, copia))
            messiDaParte_.append(copia);
    }
}

bool ArchivioCalendario::accesso()
{
    if (!avanziVisti_)
        recuperaAvanzi();
    QFileInfo info(cartella_);
    if (!info.exists()) {
        if (!QDir().mkpath(cartella_))
            return false;
        creaElencoIniziale();
        info.refresh();
    }
    return info.isDir() && info.isReadable() && info.isExecutable();
}

bool ArchivioCalendario::scrivibile() const
{
    return ::access(QFile::encodeName(cartella_).constData(), W_OK | X_OK) == 0;
}

void ArchivioCalendario::creaElencoIniziale()
{
    const QString nome = QStringLiteral("Promemoria.ics");
    Ical::Componente cal = nuovoCalendario(Testi::tr("Promemoria"));
    QString errore;
    if (scrivi(QDir(cartella_).filePath(nome), Ical::comeTesto(cal.get()), &errore))
        impostaElencoPredefinito(nome);
    else
        qWarning("Elenco dei promemoria non creato: %s", qPrintable(errore));
}

QStringList ArchivioCalendario::fileCalendari() const
{
    QDir dir(cartella_);
    QStringList file;
    for (const QString& nome : dir.entryList({QStringLiteral("*.ics")}, QDir::Files | QDir::Readable, QDir::Name))
        file.append(dir.filePath(nome));
    return file;
}

const ArchivioCalendario::File* ArchivioCalendario::carica(const QString& percorso)
{
    const auto impronta = improntaDi(percorso);
    if (!impronta) {
        file_.erase(percorso);
        return nullptr;
    }
    auto it = file_.find(percorso);
    if (it != file_.end() && it->second->impronta == *impronta)
        return it->second->radice ? it->second.get() : nullptr;

    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) {
        file_.erase(percorso);
        return nullptr;
    }
    auto nuovo = std::make_unique<File>();
    nuovo->impronta = *impronta;
    const QByteArray contenuto = f.readAll();
    // An empty file is an empty calendar; one we cannot parse is skipped,
    // and remembered so it is not parsed and reported again until it changes.
    if (!contenuto.trimmed().isEmpty()) {
        nuovo->radice = Ical::leggi(contenuto);
        if (nuovo->radice)
            nuovo->colore = coloreDel(nuovo->radice.get());
        else
            qWarning("Calendario illeggibile: %s", qPrintable(percorso));
    }
    const File* letto = (file_[percorso] = std::move(nuovo)).get();
    return letto->radice ? letto : nullptr;
}

template<class T>
Lettura<T> ArchivioCalendario::leggiCalendari(const std::function<void(const File&, QList<T>&)>& leggi)
{
    Ical::aggiornaZonaLocale();
    Lettura<T> lettura;
    lettura.accesso = accesso();
    if (!lettura.accesso)
        return lettura;
    lettura.file = fileCalendari();
    lettura.messiDaParte = std::exchange(messiDaParte_, {});
    for (const QString& percorso : lettura.file)
        if (const File* f = carica(percorso))
            leggi(*f, lettura.elementi);
    return lettura;
}

Lettura<Impegno> ArchivioCalendario::impegni(const QDateTime& da, const QDateTime& a)
{
    return leggiCalendari<Impegno>([&](const File& f, QList<Impegno>& elementi) {
        for (const Ical::Occorrenza& o : Ical::eventiNellaFinestra(f.radice.get(), da, a))
            elementi.append(VociIcal::impegno(o, f.colore));
    });
}

Lettura<Promemoria> ArchivioCalendario::promemoria(const QDateTime& limiteLocale)
{
    const QDateTime limite = limiteLocale.toUTC();
    return leggiCalendari<Promemoria>([&](const File& f, QList<Promemoria>& elementi) {
        for (icalcomponent* todo : Ical::componenti(f.radice.get(), ICAL_VTODO_COMPONENT))
            if (auto p = VociIcal::promemoria(todo, limite))
                elementi.append(std::move(*p));
    });
}

std::optional<QString> ArchivioCalendario::elencoPredefinito() const
{
    QSettings impostazioni(QDir(cartella_).filePath(kImpostazioni), QSettings::IniFormat);
    const QString nome = impostazioni.value(kChiavePredefinito).toString();
    // Only a plain file name of this folder: the setting never points outside it.
    if (nome.isEmpty() || nome.contains(QLatin1Char('/')) || !nome.endsWith(QLatin1String(".ics")))
        return std::nullopt;
    const QString percorso = QDir(cartella_).filePath(nome);
    if (!QFileInfo(percorso).isFile())
        return std::nullopt;
    return percorso;
}

bool ArchivioCalendario::impostaElencoPredefinito(const QString& nomeFile)
{
    const QString percorso = QDir(cartella_).filePath(kImpostazioni);
    QVariantMap valori;
    {
        const QSettings letto(percorso, QSettings::IniFormat);
        for (const QString& k : letto.allKeys())
            valori.insert(k, letto.value(k));
    }
    valori.insert(kChiavePredefinito, nomeFile);
    if (const auto errore = SalvataggioSicuro::salva(percorso, FileIni::testo(valori))) {
        qWarning("Elenco predefinito non salvato: %s", qPrintable(errore->testo()));
        return false;
    }
    return true;
}

EsitoCreazione ArchivioCalendario::crea(const NuovoPromemoria& nuovo, const QDateTime& ora)
{
    Ical::aggiornaZonaLocale();
    // A folder that can only be read shows its reminders but takes no new one.
    if (!accesso() || !scrivibile())
        return {EsitoCreazione::Tipo::accessoNegato};
    const auto elenco = elencoPredefinito();
    if (!elenco)
        return {EsitoCreazione::Tipo::nessunElenco};

    QFile f(*elenco);
    if (!f.open(QIODevice::ReadOnly))
        return EsitoCreazione::nonSalvato(f.errorString());
    const QByteArray contenuto = f.readAll();
    Ical::Componente radice = contenuto.trimmed().isEmpty() ? nuovoCalendario(QFileInfo(*elenco).completeBaseName())
                                                           : Ical::leggi(contenuto);
    // Never rewrite a file we could not understand: that would lose its data.
    if (!radice || !Ical::integro(radice.get()))
        return EsitoCreazione::nonSalvato(Testi::tr("Il file del calendario non è leggibile."));
    icalcomponent* calendario = Ical::calendari(radice.get()).value(0);
    if (!calendario)
        return EsitoCreazione::nonSalvato(Testi::tr("Il file del calendario non è leggibile."));

    // The due time is kept to the minute, as a wall-clock time.
    icalcomponent_add_component(calendario, VociIcal::nuovo(nuovo, ora, nullptr).release());

    QString errore;
    if (!scrivi(*elenco, Ical::comeTesto(radice.get()), &errore))
        return EsitoCreazione::nonSalvato(errore);
    return {EsitoCreazione::Tipo::creato};
}

std::optional<QString> ArchivioCalendario::fileDelPromemoria(const QString& id)
{
    if (id.isEmpty())
        return std::nullopt;
    const QByteArray uid = id.toUtf8();
    for (const QString& percorso : fileCalendari()) {
        const File* f = carica(percorso);
        if (!f)
            continue;
        for (icalcomponent* todo : Ical::componenti(f->radice.get(), ICAL_VTODO_COMPONENT))
            if (uid == icalcomponent_get_uid(todo))
                return percorso;
    }
    return std::nullopt;
}

EsitoScrittura ArchivioCalendario::modifica(const QString& id, const std::function<void(Modifica&)>& cambia)
{
    Ical::aggiornaZonaLocale();
    const auto percorso = fileDelPromemoria(id);
    if (!percorso)
        return {EsitoScrittura::Tipo::nonTrovato};
    // Read afresh: the copy in memory may be older than the file.
    QFile f(*percorso);
    if (!f.open(QIODevice::ReadOnly))
        return {EsitoScrittura::Tipo::nonSalvato, f.errorString()};
    Modifica m;
    m.radice = Ical::leggi(f.readAll());
    if (!m.radice || !Ical::integro(m.radice.get()))
        return {EsitoScrittura::Tipo::nonSalvato, Testi::tr("Il file del calendario non è leggibile.")};
    const QByteArray uid = id.toUtf8();
    for (icalcomponent* todo : Ical::componenti(m.radice.get(), ICAL_VTODO_COMPONENT))
        if (uid == icalcomponent_get_uid(todo)) {
            m.todo = todo;
            break;
        }
    if (!m.todo)
        return {EsitoScrittura::Tipo::nonTrovato};
    cambia(m);
    QString errore;
    if (!scrivi(*percorso, Ical::comeTesto(m.radice.get()), &errore))
        return {EsitoScrittura::Tipo::nonSalvato, errore};
    return {EsitoScrittura::Tipo::fatto};
}

EsitoScrittura ArchivioCalendario::completa(const QString& id, const QDateTime& ora)
{
    return modifica(id, [&](Modifica& m) { VociIcal::completa(m.todo, ora); });
}

EsitoScrittura ArchivioCalendario::rimanda(const QString& id, const QDateTime& quando)
{
    return modifica(id, [&](Modifica& m) { VociIcal::rimanda(m.todo, quando, nullptr); });
}

bool ArchivioCalendario::scrivi(const QString& percorso, const QByteArray& contenuto, QString* errore)
{
    const auto e = SalvataggioSicuro::salva(percorso, contenuto);
    if (e && errore)
        *errore = e->testo();
    return !e;
}
