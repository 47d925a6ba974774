#include "LettoreMp4.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <limits>
#include <utility>

namespace {

// An index larger than this is no memo's: the file is not judged.
constexpr qint64 kIndiceMassimo = 64 * 1024 * 1024;
// A memo has two boxes a second: more than this is no memo's either (a
// file of millions of empty boxes is read in bounded time).
constexpr qint64 kScatoleMassime = 1 << 20;

// Reads a file through a window of its own, so the many small box headers
// lying close together cost one read each window rather than one each.
class Lettura {
public:
    explicit Lettura(QFile& file) : file_(file), misura_(file.size()) {}
    qint64 misura() const { return misura_; }
    // Up to `quanti` bytes at `at` (fewer at the end of the file), valid
    // until the next call: a box header costs no copy.
    QByteArrayView leggi(qint64 at, qint64 quanti)
    {
        if (at < 0 || at >= misura_)
            return {};
        if (quanti > kFinestra) {
            grande_ = file_.seek(at) ? file_.read(quanti) : QByteArray();
            return grande_;
        }
        if (at < inizio_ || at + quanti > inizio_ + finestra_.size()) {
            if (!file_.seek(at))
                return {};
            finestra_ = file_.read(kFinestra);
            inizio_ = at;
        }
        const qint64 da = at - inizio_;
        return QByteArrayView(finestra_).sliced(da, std::min(quanti, finestra_.size() - da));
    }

private:
    static constexpr qint64 kFinestra = 64 * 1024;
    QFile& file_;
    qint64 misura_;
    QByteArray finestra_, grande_;
    qint64 inizio_ = 0;
};

// A box type as its four bytes read big-endian.
constexpr quint32 tipo(const char (&nome)[5])
{
    return quint32(quint8(nome[0])) << 24 | quint32(quint8(nome[1])) << 16 | quint32(quint8(nome[2])) << 8
           | quint32(quint8(nome[3]));
}

struct Scatola {
    quint32 tipo = 0;
    qint64 inizio = 0;  // where its content starts
    qint64 fine = 0;    // one past its last byte
    bool intera = true; // the file holds all of it
};

quint32 u32(QByteArrayView b, qint64 at)
{
    return at + 4 <= b.size() ? qFromBigEndian<quint32>(b.data() + at) : 0;
}

quint64 u64(QByteArrayView b, qint64 at)
{
    return at + 8 <= b.size() ? qFromBigEndian<quint64>(b.data() + at) : 0;
}

// The boxes inside [da, a) of `b`, in order; a box running past `a` ends the list.
template <class F>
void scatoleIn(const QByteArray& b, qint64 da, qint64 a, F&& ciascuna)
{
    while (da + 8 <= a) {
        quint64 misura = u32(b, da);
        qint64 testa = 8;
        if (misura == 1) {
            misura = u64(b, da + 8);
            testa = 16;
        } else if (misura == 0) {
            misura = quint64(a - da);
        }
        if (misura < quint64(testa) || misura > quint64(a - da))
            return;
        ciascuna(Scatola{u32(b, da + 4), da + testa, da + qint64(misura), true});
        da += qint64(misura);
    }
}

// The first box of type `tipo` inside `dentro`, if any.
std::optional<Scatola> trova(const QByteArray& b, const Scatola& dentro, quint32 cercato)
{
    std::optional<Scatola> trovata;
    scatoleIn(b, dentro.inizio, dentro.fine, [&](const Scatola& s) {
        if (!trovata && s.tipo == cercato)
            trovata = s;
    });
    return trovata;
}

// What the index ("moov") says of the audio track.
struct Indice {
    quint32 scala = 0;             // ticks per second of the track
    quint64 durataIndicizzata = 0; // ticks of the samples listed in the index itself
    quint32 durataPredefinita = 0; // ticks of a fragment's sample that gives none
};

Indice leggiIndice(const QByteArray& b, const Scatola& moov)
{
    Indice indice;
    scatoleIn(b, moov.inizio, moov.fine, [&](const Scatola& trak) {
        if (trak.tipo != tipo("trak") || indice.scala)
            return;
        const auto mdia = trova(b, trak, tipo("mdia"));
        const auto hdlr = mdia ? trova(b, *mdia, tipo("hdlr")) : std::nullopt;
        const auto mdhd = mdia ? trova(b, *mdia, tipo("mdhd")) : std::nullopt;
        if (!hdlr || !mdhd || u32(b, hdlr->inizio + 8) != tipo("soun"))
            return;
        // Version 1 has 64-bit times before the time scale.
        indice.scala = u32(b, mdhd->inizio + (b.at(mdhd->inizio) == 1 ? 20 : 12));
        const auto minf = trova(b, *mdia, tipo("minf"));
        const auto stbl = minf ? trova(b, *minf, tipo("stbl")) : std::nullopt;
        const auto stts = stbl ? trova(b, *stbl, tipo("stts")) : std::nullopt;
        if (stts) {
            const quint32 voci = u32(b, stts->inizio + 4);
            for (quint32 i = 0; i < voci && stts->inizio + 16 + 8 * qint64(i) <= stts->fine; ++i)
                indice.durataIndicizzata += quint64(u32(b, stts->inizio + 8 + 8 * i)) * u32(b, stts->inizio + 12 + 8 * i);
        }
    });
    if (const auto mvex = trova(b, moov, tipo("mvex")))
        if (const auto trex = trova(b, *mvex, tipo("trex")))
            indice.durataPredefinita = u32(b, trex->inizio + 16);
    return indice;
}

// Ticks of audio in one fragment ("moof").
quint64 durataFrammento(const QByteArray& b, const Scatola& moof, quint32 predefinita)
{
    quint64 durata = 0;
    scatoleIn(b, moof.inizio, moof.fine, [&](const Scatola& traf) {
        if (traf.tipo != tipo("traf"))
            return;
        quint32 perCampione = predefinita;
        if (const auto tfhd = trova(b, traf, tipo("tfhd"))) {
            const quint32 f = u32(b, tfhd->inizio) & 0xffffff;
            qint64 at = tfhd->inizio + 8 + (f & 0x1 ? 8 : 0) + (f & 0x2 ? 4 : 0);
            if (f & 0x8)
                perCampione = u32(b, at);
        }
        scatoleIn(b, traf.inizio, traf.fine, [&](const Scatola& trun) {
            if (trun.tipo != tipo("trun"))
                return;
            const quint32 f = u32(b, trun.inizio) & 0xffffff;
            const quint32 campioni = u32(b, trun.inizio + 4);
            if (!(f & 0x100)) {
                durata += quint64(campioni) * perCampione;
                return;
            }
            const qint64 passo = 4 * qint64(bool(f & 0x100) + bool(f & 0x200) + bool(f & 0x400) + bool(f & 0x800));
            qint64 at = trun.inizio + 8 + (f & 0x1 ? 4 : 0) + (f & 0x4 ? 4 : 0);
            for (quint32 i = 0; i < campioni && at + 4 <= trun.fine; ++i, at += passo)
                durata += u32(b, at);
        });
    });
    return durata;
}

} // namespace

namespace LettoreMp4 {

std::optional<double> secondiAudio(const QString& percorso, bool bastaUnCampione)
{
    // A pipe or a device would keep the reading waiting for ever.
    if (!QFileInfo(percorso).isFile())
        return std::nullopt;
    QFile file(percorso);
    // Unbuffered: the window below is the only buffer.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    Lettura lettura(file);
    const qint64 misura = lettura.misura();
    // The top-level boxes, read one header at a time: the audio between them is never read.
    auto prossima = [&](qint64 at) -> std::optional<Scatola> {
        if (at + 8 > misura)
            return std::nullopt;
        const QByteArrayView testa = lettura.leggi(at, 16);
        quint64 m = u32(testa, 0);
        qint64 lunghezzaTesta = 8;
        if (m == 1) {
            m = u64(testa, 8);
            lunghezzaTesta = 16;
        } else if (m == 0) {
            m = quint64(misura - at); // up to the end of the file
        }
        if (testa.size() < lunghezzaTesta || m < quint64(lunghezzaTesta))
            return std::nullopt;
        const qint64 fine = m > quint64(std::numeric_limits<qint64>::max() - at) ? misura + 1 : at + qint64(m);
        return Scatola{u32(testa, 4), at + lunghezzaTesta, fine, fine <= misura};
    };
    // The content of a box, whole, or nothing.
    auto contenuto = [&](const Scatola& s) -> std::optional<QByteArray> {
        if (s.fine - s.inizio > kIndiceMassimo)
            return std::nullopt;
        QByteArray b = lettura.leggi(s.inizio, s.fine - s.inizio).toByteArray();
        if (b.size() != s.fine - s.inizio)
            return std::nullopt;
        return b;
    };

    const auto prima = prossima(0);
    if (!prima || prima->tipo != tipo("ftyp"))
        return std::nullopt;
    std::optional<Indice> indice;
    bool datiIndicizzati = false;
    quint64 frammentoInAttesa = 0; // ticks of a fragment whose data has not come yet
    quint64 durata = 0;
    qint64 scatole = 0;
    for (auto s = prossima(prima->fine); s && s->intera; s = prossima(s->fine)) {
        if (++scatole > kScatoleMassime)
            return std::nullopt;
        if (s->tipo == tipo("moov")) {
            const auto b = contenuto(*s);
            if (!b)
                return std::nullopt;
            indice = leggiIndice(*b, Scatola{tipo("moov"), 0, b->size()});
        } else if (s->tipo == tipo("moof") && indice) {
            const auto b = contenuto(*s);
            if (!b)
                break;
            frammentoInAttesa = durataFrammento(*b, Scatola{tipo("moof"), 0, b->size()}, indice->durataPredefinita);
        } else if (s->tipo == tipo("mdat")) {
            // A fragment counts once its data lies whole on disk.
            durata += std::exchange(frammentoInAttesa, 0);
            datiIndicizzati = true;
        }
        // Not before an index with a time scale: without one, a later index would decide.
        if (bastaUnCampione && durata > 0 && indice && indice->scala)
            break;
    }
    if (!indice || !indice->scala)
        return 0.0;
    // The index's own samples need their data too, before or after it.
    if (datiIndicizzati)
        durata += indice->durataIndicizzata;
    return double(durata) / indice->scala;
}

bool senzaSuono(const QString& percorso)
{
    const QFileInfo info(percorso);
    if (info.size() == 0)
        return info.exists();
    const auto secondi = secondiAudio(percorso, true);
    return secondi && *secondi <= 0;
}

} // namespace LettoreMp4
