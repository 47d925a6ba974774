#include "SessioneChromium.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QtEndian>
#include <algorithm>
#include <limits>

namespace {

// Command ids of the session log.
enum : quint8 {
    kFinestraDellaScheda = 0,
    kPosizioneNellaFinestra = 2,
    kPotaturaDalFondo = 5,
    kNavigazione = 6,
    kNavigazioneScelta = 7,
    kSchedaScelta = 8,
    kSchedaChiusa = 16,
    kFinestraChiusa = 17,
    kPotatura = 24,
};
constexpr qint64 kMassimo = 64 << 20; // a real session file is a few MB

// Reads little-endian values from one command's payload; `ok` turns false
// at the first read past its end.
class Lettore {
public:
    explicit Lettore(QByteArrayView d) : d_(d) {}
    bool ok = true;
    qint32 intero()
    {
        if (!disponibili(4))
            return 0;
        const qint32 v = qFromLittleEndian<qint32>(d_.data() + pos_);
        pos_ += 4;
        return v;
    }
    QByteArray byte(qint64 n)
    {
        if (n < 0 || !disponibili(n))
            return {};
        QByteArray r(d_.data() + pos_, n);
        pos_ += (n + 3) & ~qint64(3); // each field is padded to four bytes
        return r;
    }

private:
    bool disponibili(qint64 n)
    {
        ok = ok && pos_ + n <= d_.size();
        return ok;
    }
    QByteArrayView d_;
    qint64 pos_ = 0;
};

struct Navigazione {
    QString url, titolo;
};
struct Scheda {
    qint32 finestra = -1;
    qint32 posizione = -1;
    qint32 scelta = -1;
    qint64 ordine = 0;
    QMap<qint32, Navigazione> navigazioni;
};
struct Finestra {
    qint32 scelta = -1;
    qint64 ordine = 0;
};

} // namespace

namespace SessioneChromium {

std::optional<QList<SchedaBrowser>> leggiDati(const QByteArray& dati)
{
    if (dati.size() < 8 || !dati.startsWith("SNSS"))
        return std::nullopt;
    const qint32 versione = qFromLittleEndian<qint32>(dati.constData() + 4);
    if (versione != 1 && versione != 3) // the other versions are encrypted
        return std::nullopt;
    QMap<qint32, Scheda> schede;
    QMap<qint32, Finestra> finestre;
    QList<qint32> chiuse, finestreChiuse;
    qint64 ordine = 0;
    auto finestra = [&](qint32 id) -> Finestra& {
        auto it = finestre.find(id);
        if (it == finestre.end())
            it = finestre.insert(id, Finestra{-1, ++ordine});
        return *it;
    };
    auto scheda = [&](qint32 id) -> Scheda& {
        auto it = schede.find(id);
        if (it == schede.end()) {
            Scheda s;
            s.ordine = ++ordine;
            it = schede.insert(id, s);
        }
        return *it;
    };
    qint64 pos = 8;
    while (pos + 2 <= dati.size()) {
        const quint16 dimensione = qFromLittleEndian<quint16>(dati.constData() + pos);
        pos += 2;
        if (dimensione == 0 || pos + dimensione > dati.size())
            break; // a record cut short by a write in progress ends the log
        const quint8 id = quint8(dati.at(pos));
        Lettore l(QByteArrayView(dati.constData() + pos + 1, dimensione - 1));
        pos += dimensione;
        switch (id) {
        case kFinestraDellaScheda: {
            const qint32 f = l.intero(), s = l.intero();
            if (l.ok) {
                finestra(f);
                scheda(s).finestra = f;
            }
            break;
        }
        case kPosizioneNellaFinestra:
        case kNavigazioneScelta: {
            const qint32 s = l.intero(), indice = l.intero();
            if (l.ok)
                (id == kPosizioneNellaFinestra ? scheda(s).posizione : scheda(s).scelta) = indice;
            break;
        }
        case kSchedaScelta: {
            const qint32 f = l.intero(), indice = l.intero();
            if (l.ok)
                finestra(f).scelta = indice;
            break;
        }
        case kNavigazione: {
            l.intero(); // the pickle's own length
            const qint32 s = l.intero(), indice = l.intero();
            const QByteArray url = l.byte(l.intero());
            const qint32 unita = l.intero();
            const QByteArray titolo = unita >= 0 && unita < (1 << 20) ? l.byte(qint64(unita) * 2) : QByteArray();
            if (!l.ok)
                break;
            scheda(s).navigazioni.insert(
                indice, {QString::fromUtf8(url),
                         QString::fromUtf16(reinterpret_cast<const char16_t*>(titolo.constData()), unita)});
            break;
        }
        case kPotaturaDalFondo:
        case kPotatura: {
            const qint32 s = l.intero(), indice = l.intero();
            const qint32 quante = id == kPotatura ? l.intero() : std::numeric_limits<qint32>::max();
            if (!l.ok)
                break;
            // The entries after the removed ones move down.
            QMap<qint32, Navigazione> resto;
            const auto& n = scheda(s).navigazioni;
            for (auto it = n.cbegin(); it != n.cend(); ++it)
                if (it.key() < indice)
                    resto.insert(it.key(), *it);
                else if (qint64(it.key()) - indice >= quante)
                    resto.insert(qint32(it.key() - quante), *it);
            scheda(s).navigazioni = resto;
            break;
        }
        case kSchedaChiusa:
        case kFinestraChiusa: {
            const qint32 v = l.intero();
            if (l.ok)
                (id == kSchedaChiusa ? chiuse : finestreChiuse) << v;
            break;
        }
        default:
            break;
        }
    }
    for (qint32 s : chiuse)
        schede.remove(s);

    // Windows in the order they first appear, tabs by their place in the window.
    QList<qint32> ordineFinestre = finestre.keys();
    std::sort(ordineFinestre.begin(), ordineFinestre.end(),
              [&](qint32 a, qint32 b) { return finestre[a].ordine < finestre[b].ordine; });
    QList<SchedaBrowser> r;
    int numeroFinestra = 0;
    for (qint32 f : ordineFinestre) {
        if (finestreChiuse.contains(f))
            continue;
        QList<const Scheda*> sue;
        for (const Scheda& s : schede)
            if (s.finestra == f)
                sue << &s;
        if (sue.isEmpty())
            continue;
        ++numeroFinestra;
        std::stable_sort(sue.begin(), sue.end(), [](const Scheda* a, const Scheda* b) {
            return a->posizione != b->posizione ? a->posizione < b->posizione : a->ordine < b->ordine;
        });
        for (int i = 0; i < sue.size(); ++i) {
            const Scheda& s = *sue.at(i);
            if (s.navigazioni.isEmpty())
                continue;
            const Navigazione n = s.navigazioni.value(s.scelta, s.navigazioni.last());
            if (!n.url.startsWith(QLatin1String("http://")) && !n.url.startsWith(QLatin1String("https://")))
                continue;
            r << SchedaBrowser{numeroFinestra, i + 1, i == finestre[f].scelta, n.url, n.titolo};
        }
    }
    return r;
}

std::optional<QList<SchedaBrowser>> leggi(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMassimo)
        return std::nullopt;
    return leggiDati(f.readAll());
}

QString fileCorrente(const QString& cartellaDati, const QString& profilo)
{
    if (cartellaDati.isEmpty())
        return {};
    const QDir dati(cartellaDati);
    const QStringList profili =
        profilo.isEmpty() ? dati.entryList(QDir::Dirs | QDir::NoDotAndDotDot) : QStringList{profilo};
    QString migliore;
    QDateTime quando;
    for (const QString& p : profili) {
        QFileInfoList candidati = QDir(dati.filePath(p + QStringLiteral("/Sessions")))
                                      .entryInfoList({QStringLiteral("Session_*")}, QDir::Files);
        candidati << QFileInfo(dati.filePath(p + QStringLiteral("/Current Session")));
        for (const QFileInfo& c : candidati)
            if (c.isFile() && (migliore.isEmpty() || c.lastModified() > quando)) {
                migliore = c.filePath();
                quando = c.lastModified();
            }
    }
    return migliore;
}

std::pair<QString, QString> cartelleDaArgomenti(const QStringList& argomenti)
{
    QString dati, profilo;
    for (int i = 0; i < argomenti.size(); ++i) {
        const QString& a = argomenti.at(i);
        auto valore = [&](const QString& chiave, QString& dove) {
            if (a.startsWith(chiave + QLatin1Char('=')))
                dove = a.mid(chiave.size() + 1);
            else if (a == chiave && i + 1 < argomenti.size())
                dove = argomenti.at(i + 1);
        };
        valore(QStringLiteral("--user-data-dir"), dati);
        valore(QStringLiteral("--profile-directory"), profilo);
    }
    // A profile name is one folder, never a path out of the user-data folder.
    if (profilo.contains(QLatin1Char('/')) || profilo == QLatin1String("..") || profilo == QLatin1String("."))
        profilo.clear();
    return {dati, profilo};
}

} // namespace SessioneChromium
