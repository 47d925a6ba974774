#include "AnalisiMoto.h"

#include "RegistrazioneSchermo.h"

#include <QDir>
#include <QImage>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace AnalisiMoto {

namespace {

// Levels of difference (0..255, the largest of the three channels).
constexpr int kContenuto = 30;   // content that shows, at the opacity it is drawn with
constexpr int kResiduo = 40;     // a pixel unlike what was to be drawn
constexpr double kVisibile = 0.35; // content drawn at less than this of its strength is missing
// Pixels of one kind that make a frame count.
constexpr int kPixelMinimi = 40;
// Inside the shape but off its edge and its rounded bottom corners, whose
// antialiasing and rim the pictures at rest do not model.
constexpr int kMargine = 3;
constexpr int kAngolo = 40;
constexpr qint64 kAttesaPresa = 20000; // microseconds
// A mean difference this small: the very picture a line describes.
constexpr double kIntero = 0.3;
// Mean differences this close: lines alike on the judged pixels.
constexpr double kPari = 0.01;

using Colore = std::array<int, 3>;

struct Vista {
    const uchar* dati;
    int larghezza, altezza, passo;
    Colore at(int x, int y) const
    {
        const uchar* p = dati + y * passo + x * 4;
        return {p[0], p[1], p[2]};
    }
    bool dentro(int x, int y) const { return x >= 0 && y >= 0 && x < larghezza && y < altezza; }
};

int scarto(const Colore& a, const Colore& b)
{
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

Vista vista(const RegistrazioneSchermo& r, int i)
{
    return {r.fotogramma(i), r.larghezza(), r.altezza(), r.passo()};
}

// The claim in force at `us`: the last line written before it.
int quadroA(const QList<Quadro>& q, qint64 us)
{
    int scelto = -1;
    for (int i = 0; i < q.size() && q[i].us <= us; ++i)
        scelto = i;
    return scelto;
}

// Where pixels are judged: inside the shape, off its edges and corners.
struct Maschera {
    QRect r;
    int basso = 0;
    bool contiene(int x, int y) const
    {
        if (!r.contains(x, y))
            return false;
        const bool angolo = y > basso - kAngolo && (x < r.left() + kAngolo || x > r.right() - kAngolo);
        return !angolo;
    }
};

Maschera maschera(const QRectF& forma, QPoint origine, const Vista& v)
{
    const QRect f = forma.translated(-origine).toAlignedRect();
    Maschera m;
    m.basso = f.bottom() - kMargine;
    m.r = f.adjusted(kMargine, kMargine, -kMargine, -kMargine).intersected(QRect(0, 0, v.larghezza, v.altezza));
    return m;
}

// The material inside the shape: a patch near its bottom, under any content.
Colore materiale(const Vista& v, const QRectF& forma, QPoint origine)
{
    const QRect f = forma.translated(-origine).toAlignedRect();
    std::array<QList<int>, 3> c;
    for (int y = f.bottom() - 12; y <= f.bottom() - 8; ++y)
        for (int x = f.center().x() - 20; x <= f.center().x() + 20; ++x)
            if (v.dentro(x, y)) {
                const Colore k = v.at(x, y);
                for (int j = 0; j < 3; ++j)
                    c[j] << k[j];
            }
    Colore m{};
    for (int j = 0; j < 3; ++j) {
        std::sort(c[j].begin(), c[j].end());
        m[j] = c[j].isEmpty() ? 0 : c[j][c[j].size() / 2];
    }
    return m;
}

// The width of the dark shape along its top rows, in pixels, from the pixels alone.
double larghezzaMisurata(const Vista& v, const Colore& materiale, const Colore& sfondo)
{
    const int y = 3;
    const int soglia = (scarto(materiale, sfondo)) / 2;
    int sinistra = -1, destra = -1;
    for (int x = 0; x < v.larghezza; ++x)
        if (scarto(v.at(x, y), materiale) < soglia) {
            if (sinistra < 0)
                sinistra = x;
            destra = x;
        }
    return sinistra < 0 ? 0 : destra - sinistra + 1;
}

// What a frame should show at a pixel, from the pictures at rest.
struct Modello {
    Tipo tipo;
    Colore m;
    QPoint origine;
    Vista aperta{};                 // open at rest (openings and closings)
    Maschera formaAperta;           // its shape: beyond it the open content has nothing
    int sopraModuli = 0;            // frame row where modules start (changes)
    struct Sorgente {
        QString tab;
        Vista riposo;
        QRect dove;   // at rest, frame pixels
        Maschera forma; // the shape at rest: what lies outside is not the module's
    };
    QList<Sorgente> sorgenti; // the modules at rest (changes): the old one, then the new one
    qint64 inizioCambio = 0;  // the first line of the change

    const Sorgente* sorgente(const QString& tab) const
    {
        for (const Sorgente& s : sorgenti)
            if (s.tab == tab)
                return &s;
        return nullptr;
    }

    // Contributions over the material at (x, y) for the claim `q`: their sum
    // and how many sources give one (a pixel two modules cover is not judged).
    struct Atteso {
        Colore c;
        int forza = 0; // largest channel of the contribution
        int sorgenti = 0;
    };
    Atteso atteso(const Quadro& q, int x, int y) const
    {
        Atteso a{m, 0, 0};
        auto aggiungi = [&](const Colore& riposo, double opacita) {
            const Colore d{riposo[0] - m[0], riposo[1] - m[1], riposo[2] - m[2]};
            const int forza = int(opacita * std::max({std::abs(d[0]), std::abs(d[1]), std::abs(d[2])}));
            if (forza > 6)
                ++a.sorgenti;
            a.forza = std::max(a.forza, forza);
            for (int j = 0; j < 3; ++j)
                a.c[j] += int(std::lround(opacita * d[j]));
        };
        if (tipo != Tipo::cambio) {
            if (formaAperta.contiene(x, y))
                aggiungi(aperta.at(x, y), std::clamp(q.apertura, 0.0, 1.0));
            return a;
        }
        // Before the change the old module rests where it stands, after it the new one.
        QList<Modulo> moduli = q.moduli;
        if (moduli.isEmpty() && !sorgenti.isEmpty()) {
            const Sorgente& s = q.us < inizioCambio ? sorgenti.first() : sorgenti.last();
            moduli.append({s.tab, QRectF(s.dove).translated(origine), 1.0});
        }
        for (const Modulo& mod : std::as_const(moduli)) {
            const Sorgente* s = sorgente(mod.tab);
            if (!s)
                continue;
            const QRectF dove = mod.dove.translated(-origine);
            const int sx = x - int(std::lround(dove.left())) + s->dove.left();
            const int sy = y - int(std::lround(dove.top())) + s->dove.top();
            if (!s->dove.contains(sx, sy) || !s->forma.contiene(sx, sy))
                continue;
            aggiungi(s->riposo.at(sx, sy), mod.opacita);
        }
        return a;
    }
};

// Bands of rows a frame is judged in apart: a frame grabbed while the
// display was taking in the next one shows it in some bands only.
constexpr int kBanda = 24;

struct Conto {
    int provati = 0, conContenuto = 0, mancanti = 0, residui = 0;
    double scartoMedio = 0;
    QList<double> bande; // the mean difference in each band of rows, -1 where nothing was judged
};

// Compares a frame with what the claim `q` says it shows, every `passo`
// pixels; `laschi`: a pixel sideways is close enough (judging), else not
// (telling apart lines a pixel apart).
Conto confronta(const Modello& mod, const Vista& f, const Quadro& q, int passo, bool laschi)
{
    Conto c;
    const Maschera m = maschera(q.forma, mod.origine, f);
    long long somma = 0;
    QList<long long> sommeBande(f.altezza / kBanda + 1, 0);
    QList<int> provatiBande(f.altezza / kBanda + 1, 0);
    const int inizio = mod.tipo == Tipo::cambio ? std::max(m.r.top(), mod.sopraModuli) : m.r.top();
    // The strip's marker fades at the bottom of a low shape: left out.
    const int fine = mod.tipo == Tipo::cambio ? m.r.bottom() : m.r.bottom() - 8;
    for (int y = inizio; y <= fine; y += passo)
        for (int x = m.r.left(); x <= m.r.right(); x += passo) {
            if (!m.contiene(x, y))
                continue;
            const Modello::Atteso a = mod.atteso(q, x, y);
            if (a.sorgenti > 1)
                continue;
            // Within a pixel sideways: a step a frame apart, or a position
            // rounded the other way, is not a fault.
            int s = 255, presenza = 0;
            const int lasco = laschi ? 1 : 0;
            for (int dx = -lasco; dx <= lasco; ++dx)
                if (m.r.contains(x + dx, y)) {
                    const Colore k = f.at(x + dx, y);
                    s = std::min(s, scarto(k, a.c));
                    presenza = std::max(presenza, scarto(k, mod.m));
                }
            ++c.provati;
            somma += s;
            sommeBande[y / kBanda] += s;
            ++provatiBande[y / kBanda];
            if (s > kResiduo)
                ++c.residui;
            if (a.forza > kContenuto) {
                ++c.conContenuto;
                if (presenza < kVisibile * a.forza)
                    ++c.mancanti;
            }
        }
    c.scartoMedio = c.provati ? double(somma) / c.provati : 0;
    for (qsizetype b = 0; b < sommeBande.size(); ++b)
        c.bande << (provatiBande[b] ? double(sommeBande[b]) / provatiBande[b] : -1);
    return c;
}

// What a line says in whole pixels and coarse opacities: two lines alike
// draw the same picture, but for the cards (left out of the timing).
QString firma(const Quadro& q)
{
    auto r = [](const QRectF& x) {
        return QStringLiteral("%1,%2,%3,%4 ").arg(std::lround(x.x())).arg(std::lround(x.y())).arg(std::lround(x.width())).arg(std::lround(x.height()));
    };
    auto o = [](double v) { return QString::number(std::lround(v * 50)) + QLatin1Char(' '); };
    QString f = r(q.forma) + o(q.apertura);
    for (const Modulo& m : q.moduli)
        if (m.opacita >= 0.01) // one faded out moves unseen
            f += m.tab + r(m.dove) + o(m.opacita);
    return f;
}

// Where a module's picture at rest, moved sideways by up to 80 pixels and
// faded to `opacita`, best explains the frame inside `m` (off `escluso`).
int spostamento(const Modello::Sorgente& src, const Vista& f, const Maschera& m, const QRectF& escluso, double opacita,
                const Colore& materiale)
{
    int dxMigliore = 0;
    double sadMigliore = 1e18;
    for (int dx = -80; dx <= 80; ++dx) {
        long long sad = 0;
        int usati = 0;
        for (int y = src.dove.top(); y <= src.dove.bottom(); y += 2)
            for (int x = src.dove.left(); x <= src.dove.right(); x += 2) {
                const int fx = x + dx;
                if (!m.contiene(fx, y) || escluso.contains(fx, y))
                    continue;
                const Colore a = src.riposo.at(x, y);
                if (scarto(a, materiale) < kContenuto)
                    continue;
                Colore atteso;
                for (int j = 0; j < 3; ++j)
                    atteso[j] = materiale[j] + int(std::lround(opacita * (a[j] - materiale[j])));
                sad += scarto(f.at(fx, y), atteso);
                ++usati;
            }
        if (usati > 200 && double(sad) / usati < sadMigliore) {
            sadMigliore = double(sad) / usati;
            dxMigliore = dx;
        }
    }
    return dxMigliore;
}

bool sopraSoglia(int n, int su)
{
    return n > std::max(kPixelMinimi, su / 100);
}

// For whoever looks into a result: the frame, what it was to show and where
// they differ (red: content missing, yellow: unlike what was to be drawn),
// in a folder for each motion.
void salvaDiagnosi(const QString& cartella, const Modello& mod, const Vista& f, const Quadro& q, int i, const Conto& c,
                   qint64 ritardo)
{
    std::fprintf(stderr, "frame %d: line %.1f ms before, %d pixels judged, %d with content, %d missing, %d unlike\n", i,
                 ritardo / 1000.0, c.provati, c.conContenuto, c.mancanti, c.residui);
    QImage atteso(f.larghezza, f.altezza, QImage::Format_RGB32), scarti(f.larghezza, f.altezza, QImage::Format_RGB32);
    atteso.fill(Qt::black);
    scarti.fill(Qt::black);
    const Maschera m = maschera(q.forma, mod.origine, f);
    for (int y = 0; y < f.altezza; ++y)
        for (int x = 0; x < f.larghezza; ++x) {
            if (!m.contiene(x, y))
                continue;
            const Modello::Atteso a = mod.atteso(q, x, y);
            atteso.setPixel(x, y, qRgb(std::clamp(a.c[2], 0, 255), std::clamp(a.c[1], 0, 255), std::clamp(a.c[0], 0, 255)));
            const Colore k = f.at(x, y);
            const bool manca = a.forza > kContenuto && scarto(k, mod.m) < kVisibile * a.forza;
            scarti.setPixel(x, y, manca ? qRgb(255, 0, 0) : scarto(k, a.c) > kResiduo ? qRgb(255, 255, 0) : qRgb(40, 40, 40));
        }
    const QString nome = QStringLiteral("%1/%2-").arg(cartella).arg(i, 3, 10, QLatin1Char('0'));
    QImage(f.dati, f.larghezza, f.altezza, f.passo, QImage::Format_RGB32)
        .convertToFormat(QImage::Format_RGB888)
        .save(nome + QStringLiteral("reale.png"));
    atteso.save(nome + QStringLiteral("atteso.png"));
    scarti.save(nome + QStringLiteral("scarti.png"));
}

} // namespace

std::optional<Quadro> leggi(const QString& riga)
{
    QStringList p = riga.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (p.size() < 9 || p[0] != QLatin1String("quadro"))
        return std::nullopt;
    Quadro q;
    q.us = p[1].toLongLong();
    if (p[2] != QLatin1String("forma"))
        q.battito = p.takeAt(2).toULongLong();
    if (p[2] != QLatin1String("forma"))
        return std::nullopt;
    auto rettangolo = [&](int i) { return QRectF(p[i].toDouble(), p[i + 1].toDouble(), p[i + 2].toDouble(), p[i + 3].toDouble()); };
    q.forma = rettangolo(3);
    int i = 7;
    if (p.value(i) == QLatin1String("apertura")) {
        q.apertura = p.value(i + 1).toDouble();
        i += 2;
    }
    while (i < p.size()) {
        if (p[i] == QLatin1String("modulo") && i + 6 < p.size()) {
            q.moduli.append({p[i + 1], rettangolo(i + 2), p[i + 6].toDouble()});
            i += 7;
        } else if (p[i] == QLatin1String("carta") && i + 5 < p.size()) {
            q.carte.append({rettangolo(i + 1), p[i + 5].toDouble()});
            i += 6;
        } else {
            return std::nullopt;
        }
    }
    return q;
}

Esito analizza(const RegistrazioneSchermo& r, const QList<Quadro>& quadri, Tipo tipo, int esce)
{
    Esito e;
    const int n = r.numero();
    const QPoint origine = r.area().topLeft();
    if (n < 4 || quadri.isEmpty()) {
        e.nota = QStringLiteral("no frames or no lines");
        return e;
    }
    // Where cards come and go: left out of the settling, since the music
    // card moves on its own once it hangs under the strip.
    QRect esclusa;
    for (const Quadro& q : quadri)
        if (q.us >= r.tempo(0) - 500000)
            for (const Carta& c : q.carte)
                esclusa |= c.dove.translated(-origine).toAlignedRect().adjusted(-12, -12, 12, 12);
    int sopraModuli = r.altezza();
    for (const Quadro& q : quadri)
        for (const Modulo& m : q.moduli)
            sopraModuli = std::min(sopraModuli, int(std::lround(m.dove.top())) - origine.y());

    // Which frames change the picture, and where the motion starts and ends.
    QList<bool> cambiato(n, false), cambiatoModuli(n, false);
    for (int i = 1; i < n; ++i) {
        const Vista a = vista(r, i - 1), b = vista(r, i);
        for (int y = 0; y < r.altezza(); ++y) {
            const uchar* ra = a.dati + y * a.passo;
            const uchar* rb = b.dati + y * b.passo;
            if (std::memcmp(ra, rb, size_t(a.passo)) == 0)
                continue;
            for (int x = 0; x < r.larghezza(); ++x)
                if (std::memcmp(ra + 4 * x, rb + 4 * x, 3) != 0 && !esclusa.contains(x, y)) {
                    cambiato[i] = true;
                    if (y >= sopraModuli)
                        cambiatoModuli[i] = true;
                }
        }
    }
    const QList<bool>& avvio = tipo == Tipo::cambio ? cambiatoModuli : cambiato;
    const int s = int(std::find(avvio.cbegin(), avvio.cend(), true) - avvio.cbegin());
    int fine = -1;
    for (int i = s; i < n; ++i)
        if (cambiato[i])
            fine = i;
    if (s >= n || fine < 0) {
        e.nota = QStringLiteral("nothing moved");
        return e;
    }
    e.fotogrammi = fine - s + 1;
    e.assestamento = (r.tempo(fine) - r.tempo(s)) / 1000.0;
    for (int i = s; i <= fine; ++i)
        if (r.tempo(i) - r.tempo(i - 1) > 12000)
            ++e.buchiCattura;

    // The pictures at rest the frames are rebuilt from.
    Modello mod;
    mod.tipo = tipo;
    mod.origine = origine;
    mod.sopraModuli = sopraModuli;
    const int iAperta = tipo == Tipo::chiusura ? 0 : n - 1;
    const int qAperta = quadroA(quadri, r.tempo(iAperta));
    if (qAperta < 0) {
        e.nota = QStringLiteral("no line before the frames");
        return e;
    }
    mod.aperta = vista(r, iAperta);
    mod.formaAperta = maschera(quadri[qAperta].forma, origine, mod.aperta);
    mod.m = materiale(mod.aperta, quadri[qAperta].forma, origine);
    const Colore sfondo = vista(r, 0).at(2, r.altezza() - 3);
    if (tipo == Tipo::cambio) {
        // The old module as it stood before the change, the new one as it
        // stands after: each at its own size, centred in the shape at rest
        // then, as the panel lays them out.
        const Vista prima = vista(r, std::max(0, s - 1)), dopo = vista(r, n - 1);
        QList<Modulo> vecchi, nuovi;
        for (const Quadro& q : quadri) {
            if (q.us < r.tempo(0) - 200000 || q.moduli.size() < 2)
                continue;
            if (vecchi.isEmpty()) {
                vecchi << q.moduli.first();
                mod.inizioCambio = q.us;
            }
            nuovi = {q.moduli.last()};
        }
        const int iPrima = std::max(0, s - 1);
        const int qPrima = quadroA(quadri, r.tempo(iPrima)), qDopo = quadroA(quadri, r.tempo(n - 1));
        if (qPrima < 0 || qDopo < 0) {
            e.nota = QStringLiteral("no line before the frames");
            return e;
        }
        auto aggiungi = [&](const Modulo& m, const Vista& riposo, const QRectF& forma) {
            // Pictures are laid on whole pixels.
            const double x = forma.center().x() - m.dove.width() / 2;
            const QRect dove = QRect(int(std::lround(x)) - origine.x(), int(std::lround(m.dove.top())) - origine.y(),
                                     int(std::lround(m.dove.width())), int(std::lround(m.dove.height())))
                                   .intersected(QRect(0, 0, r.larghezza(), r.altezza()));
            mod.sorgenti.append({m.tab, riposo, dove, maschera(forma, origine, riposo)});
        };
        for (const Modulo& m : std::as_const(vecchi))
            aggiungi(m, prima, quadri[qPrima].forma);
        for (const Modulo& m : std::as_const(nuovi))
            aggiungi(m, dopo, quadri[qDopo].forma);
    }

    // BANCO_DIAGNOSI=DIR keeps the pictures of each judged frame.
    QString diagnosi;
    if (qEnvironmentVariableIsSet("BANCO_DIAGNOSI")) {
        static int volta = 0;
        diagnosi = qEnvironmentVariable("BANCO_DIAGNOSI") + QStringLiteral("/%1").arg(++volta);
        QDir().mkpath(diagnosi);
    }
    // Each frame of the motion against the lines written before it.
    QList<int> quadroDi(n, -1);
    int primi = 0, ultimoScelto = 0;
    for (int i = s; i <= fine; ++i) {
        const Vista f = vista(r, i);
        const double larghezza = larghezzaMisurata(f, mod.m, sfondo);
        // The screen never goes back: no earlier line than the last frame's.
        // A grab is stamped as it starts and may take in a frame drawn while
        // it waits on the display: lines up to a few milliseconds later count.
        const int ultimo = quadroA(quadri, r.tempo(i) + kAttesaPresa);
        QList<std::pair<int, double>> candidati; // latest first
        double migliore = 1e9;
        for (int k = ultimo; k >= 0 && k > ultimo - 8 && k >= ultimoScelto; --k) {
            const Quadro& q = quadri[k];
            if (std::abs(q.forma.width() - larghezza) > 2.5)
                continue;
            const Conto c = confronta(mod, f, q, 2, false);
            if (!diagnosi.isEmpty())
                std::fprintf(stderr, "  frame %d line %d (%.1f ms before): %.3f\n", i, k, (r.tempo(i) - q.us) / 1000.0, c.scartoMedio);
            candidati.append({k, c.scartoMedio});
            migliore = std::min(migliore, c.scartoMedio);
            if (r.tempo(i) - q.us > 100000)
                break;
        }
        // Lines the judged pixels cannot tell apart (a shape's edge a pixel
        // lower, off the judged area) were drawn in turn: the frame shows the
        // earliest of them, and a later one than the frame before when it
        // differs from that frame.
        int scelto = -1;
        const int primaDi = i > s && cambiato[i] ? quadroDi[i - 1] : -1;
        for (const auto& [k, media] : std::as_const(candidati))
            if (media <= migliore + kPari && (scelto < 0 || k > primaDi))
                scelto = k;
        // None drawn whole: a frame grabbed while the display took in the
        // next one, each band of it one line or the next. It shows the newer.
        if (scelto >= 0 && migliore > kIntero)
            for (int k = scelto + 1; k <= ultimo; ++k) {
                const Conto nuovo = confronta(mod, f, quadri[k], 2, false);
                const Conto vecchio = confronta(mod, f, quadri[k - 1], 2, false);
                bool ogniBanda = true, qualcunaNuova = false;
                for (qsizetype b = 0; b < nuovo.bande.size(); ++b) {
                    if (nuovo.bande[b] < 0)
                        continue;
                    const bool n = nuovo.bande[b] <= kIntero, v = vecchio.bande[b] <= kIntero;
                    ogniBanda = ogniBanda && (n || v);
                    qualcunaNuova = qualcunaNuova || (n && !v);
                }
                if (ogniBanda && qualcunaNuova) {
                    scelto = k;
                    break;
                }
            }
        if (scelto >= 0)
            ultimoScelto = scelto;
        if (scelto < 0) {
            ++e.incongruenti;
            continue;
        }
        quadroDi[i] = scelto;
        const Quadro& q = quadri[scelto];
        const Conto c = confronta(mod, f, q, 1, true);
        if (!diagnosi.isEmpty())
            salvaDiagnosi(diagnosi, mod, f, q, i, c, r.tempo(i) - q.us);
        if (sopraSoglia(c.residui, c.provati))
            ++e.incongruenti;
        if ((tipo == Tipo::cambio || q.apertura >= 0.3) && sopraSoglia(c.mancanti, c.conContenuto))
            ++e.tagliati;
        // A card coming or going drawn where the shape is.
        const Maschera m = maschera(q.forma, origine, f);
        int carta = 0;
        for (const Carta& k : q.carte) {
            const QRect dove = k.dove.translated(-origine).toAlignedRect().intersected(m.r);
            // Off the strip's marker, which fades at the bottom of a low shape.
            for (int y = dove.top(); y <= std::min(dove.bottom(), m.basso - 8); ++y)
                for (int x = dove.left(); x <= dove.right(); ++x)
                    if (m.contiene(x, y) && scarto(f.at(x, y), mod.atteso(q, x, y).c) > kResiduo)
                        ++carta;
        }
        if (carta > 25)
            ++e.cartaSopra;
        // The old module's first moves, found on the pixels: where its
        // picture at rest, moved sideways, best explains the frame.
        if (tipo == Tipo::cambio && primi < 3 && q.moduli.size() > 1 && q.moduli.first().opacita > 0.5) {
            const Modulo& vecchio = q.moduli.first();
            if (const Modello::Sorgente* src = mod.sorgente(vecchio.tab)) {
                const double lungo = esce * spostamento(*src, f, m, q.moduli.last().dove.translated(-origine),
                                                        vecchio.opacita, mod.m); // along the exit
                if (primi == 0)
                    e.primoSpostamento = lungo;
                if (lungo < -1)
                    ++e.controDirezione;
            }
            ++primi;
        }
        if (!diagnosi.isEmpty() && tipo == Tipo::cambio && !q.moduli.isEmpty() && q.moduli.last().opacita > 0.5)
            if (const Modello::Sorgente* src = mod.sorgente(q.moduli.last().tab))
                std::fprintf(stderr, "frame %d: the new module stands %d px from rest on the pixels, %.1f by the line\n", i,
                             spostamento(*src, f, m, QRectF(), q.moduli.last().opacita, mod.m),
                             q.moduli.last().dove.left() - origine.x() - src->dove.left());
    }

    // The application's own pace: from one step of its springs to the next.
    for (int k = 1; k < quadri.size(); ++k)
        if (quadri[k].us >= r.tempo(s) && quadri[k].us <= r.tempo(fine) && quadri[k - 1].battito
            && quadri[k].battito == quadri[k - 1].battito + 1)
            e.passoApplicazione = std::max(e.passoApplicazione, (quadri[k].us - quadri[k - 1].us) / 1000.0);
    // How long each picture stayed, against how long it was meant to.
    int precedente = -1;
    for (int i = s; i <= fine; ++i) {
        if (!cambiato[i])
            continue;
        if (precedente >= 0) {
            const double intervallo = (r.tempo(i) - r.tempo(precedente)) / 1000.0;
            double perFotogramma = intervallo;
            const int a = quadroDi[i];
            int da = quadroDi[precedente];
            // The picture shown was first drawn by the earliest of the lines
            // before it that draw the same (a step that moved no pixel).
            while (da > 0 && quadri[da - 1].battito && firma(quadri[da - 1]) == firma(quadri[da]))
                --da;
            if (da >= 0 && a > da && quadri[a].battito > quadri[da].battito) {
                int disegnate = 0; // pictures drawn after the one shown, up to the one shown next
                for (int k = da + 1; k <= a; ++k)
                    disegnate += firma(quadri[k]) != firma(quadri[k - 1]);
                if (disegnate < 2)
                    perFotogramma = intervallo / double(quadri[a].battito - quadri[da].battito);
            }
            if (!diagnosi.isEmpty() && intervallo > 20)
                std::fprintf(stderr, "interval %.1f ms from frame %d (line %d, step %llu) to %d (line %d, step %llu)\n",
                             intervallo, precedente, da, da >= 0 ? quadri[da].battito : 0ULL, i, a,
                             a >= 0 ? quadri[a].battito : 0ULL);
            if (perFotogramma > e.stallo) {
                e.stallo = perFotogramma;
                e.stalloDopo = (r.tempo(precedente) - r.tempo(s)) / 1000.0;
            }
            if (i == fine)
                e.ultimoPasso = intervallo;
        }
        precedente = i;
    }
    return e;
}

} // namespace AnalisiMoto
