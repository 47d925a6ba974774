#include "SorgenteSistema.h"

#include "Aiutanti.h"

#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTimeZone>
#include <cmath>
#include <limits>

namespace {

const QString kInizio = QStringLiteral("--HV-INIZIO--");
const QString kFine = QStringLiteral("--HV-FINE--");
const QString kPercorso = QStringLiteral("percorso: ");
constexpr double kMaiVisto = -std::numeric_limits<double>::infinity();
// Beyond this no real track or position lies: a larger value is garbage.
constexpr double kTempoMassimo = 1.0e9;

// The number between the last "(" and the last ")", if any.
std::optional<double> numeroTraParentesi(const QString& valore)
{
    const int aperta = valore.lastIndexOf(QLatin1Char('('));
    const int chiusa = valore.lastIndexOf(QLatin1Char(')'));
    if (aperta < 0 || chiusa < 0 || aperta >= chiusa)
        return std::nullopt;
    bool ok = false;
    const double d = valore.mid(aperta + 1, chiusa - aperta - 1).trimmed().toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return d;
}

// "yyyy-MM-dd HH:mm:ss Z" with a numeric offset such as "+0100".
std::optional<QDateTime> dataDaTesto(const QString& testo)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}) ([+-])(\\d{2})(\\d{2})$"));
    const auto m = re.match(testo.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    QDateTime d = QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!d.isValid())
        return std::nullopt;
    const int segno = m.captured(2) == QLatin1String("-") ? -1 : 1;
    const int scarto = segno * (m.captured(3).toInt() * 3600 + m.captured(4).toInt() * 60);
    d.setTimeZone(QTimeZone(scarto));
    return d.toUTC();
}

} // namespace

SorgenteSistema::SorgenteSistema(Clock& clock, double intervallo, QString programma, QString idProprio, QObject* parent)
    : QObject(parent), clock_(clock), programma_(std::move(programma)), idProprio_(std::move(idProprio)),
      intervallo_(intervallo), ultimoCampione_(kMaiVisto), istanteInRiproduzione_(kMaiVisto)
{
}

SorgenteSistema::~SorgenteSistema()
{
    // The helpers are child objects: end and reap them here, or destroying a
    // running QProcess warns and blocks on its own. A stopped one may still be
    // on its way out after ferma().
    processo_ = nullptr;
    const auto figli = findChildren<QProcess*>(Qt::FindDirectChildrenOnly);
    for (QProcess* p : figli) {
        disconnect(p, nullptr, this, nullptr);
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(1000);
        }
    }
}

QString SorgenteSistema::programmaPredefinito()
{
#ifdef HALVORA_NOWPLAYING
    return Aiutanti::percorso(QStringLiteral("halvora-nowplaying"), QStringLiteral(HALVORA_NOWPLAYING));
#else
    return Aiutanti::percorso(QStringLiteral("halvora-nowplaying"));
#endif
}

QStringList SorgenteSistema::costruisciScript() const
{
    QStringList a{QStringLiteral("--intervallo"), QString::asprintf("%.2f", intervallo_), QStringLiteral("--iterazioni"),
                  QString::number(kIterazioni), QStringLiteral("--escludi"), idProprio_};
    if (pidProprio_ > 0)
        a << QStringLiteral("--escludi-figli");
    return a;
}

void SorgenteSistema::avvia()
{
    if (!disponibile_ || processo_)
        return;
    auto* p = new QProcess(this);
    p->setProgram(programma_);
    p->setArguments(costruisciScript());
    // Only standard error is read: the other two can never fill up and block the helper.
    p->setStandardInputFile(QProcess::nullDevice());
    p->setStandardOutputFile(QProcess::nullDevice());
    connect(p, &QProcess::readyReadStandardError, this, [this, p] {
        if (p == processo_)
            leggi();
    });
    connect(p, &QProcess::finished, this, [this, p] { alTermine(p); });
    connect(p, &QProcess::errorOccurred, this, [this, p](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart || p != processo_)
            return;
        processo_ = nullptr;
        p->deleteLater();
        contaFallimento();
    });
    processo_ = p;
    istanteAvvio_ = clock_.monotonic();
    decodificatore_.resetState();
    p->start();
}

void SorgenteSistema::ferma()
{
    QProcess* p = processo_;
    if (!p)
        return;
    processo_ = nullptr;
    disconnect(p, nullptr, this, nullptr);
    connect(p, &QProcess::finished, p, &QObject::deleteLater);
    p->terminate();
}

void SorgenteSistema::dimenticaCampioni()
{
    ultimoBrano_.reset();
    ultimaSessioneGrezza_.reset();
    ultimoCampione_ = kMaiVisto;
    buffer_.clear();
}

void SorgenteSistema::leggi()
{
    const QByteArray dati = processo_->readAllStandardError();
    if (dati.isEmpty())
        return;
    // The decoder keeps a character split between two reads whole.
    accodaTesto(decodificatore_.decode(dati));
}

void SorgenteSistema::accodaTesto(const QString& testo)
{
    buffer_ += testo;
    for (;;) {
        const int inizio = buffer_.indexOf(kInizio);
        if (inizio < 0)
            break;
        const int corpo = inizio + kInizio.size();
        const int fine = buffer_.indexOf(kFine, corpo);
        if (fine < 0)
            break;
        const QString blocco = buffer_.mid(corpo, fine - corpo);
        buffer_.remove(0, fine + kFine.size());
        gestisciBlocco(blocco);
    }
    if (buffer_.size() > kMassimoBuffer)
        buffer_.clear();
}

void SorgenteSistema::gestisciBlocco(const QString& blocco)
{
    std::optional<Brano> brano = analizzaDescrizione(blocco, clock_.now());
    const double ora = clock_.monotonic();
    const QString firma = brano ? brano->bundleIDApp + QLatin1Char('|') + brano->titolo + QLatin1Char('|')
                                      + (brano->inRiproduzione ? QLatin1String("true") : QLatin1String("false"))
                                : QString();
    if (firma != firmaPrecedente_) {
        firmaPrecedente_ = firma;
        // Later, from the event loop: the caller may be in the middle of reading us.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (onCambio)
                    onCambio();
            },
            Qt::QueuedConnection);
    }
    ultimoCampione_ = ora;
    fallimentiConsecutivi_ = 0; // a process that delivers any block is healthy

    if (brano && !brano->titolo.isEmpty() && brano->bundleIDApp != idProprio_) {
        brano->campionatoIl = clock_.now();
        ultimaSessioneGrezza_ = brano;
        if (brano->inRiproduzione) {
            titoloInRiproduzione_ = brano->titolo;
            istanteInRiproduzione_ = ora;
            ultimoBrano_ = brano;
        } else if (brano->titolo == titoloInRiproduzione_ && ora - istanteInRiproduzione_ < kPausaValida) {
            ultimoBrano_ = brano;
        } else {
            ultimoBrano_.reset();
        }
    } else {
        ultimoBrano_.reset();
        ultimaSessioneGrezza_.reset();
    }
}

double SorgenteSistema::tempoDaTesto(const QString& testo)
{
    bool ok = false;
    const double d = testo.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d) || d < 0 || d > kTempoMassimo)
        return 0;
    return d;
}

std::optional<SorgenteSistema::Brano> SorgenteSistema::analizzaDescrizione(const QString& blocco, const QDateTime& ora)
{
    QHash<QString, QString> valori;
    for (const QString& grezza : blocco.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // Trim blanks but not line breaks: a value may end in an escaped one.
        int a = 0, b = int(grezza.size());
        while (a < b && grezza.at(a).isSpace() && grezza.at(a) != QLatin1Char('\r'))
            ++a;
        while (b > a && grezza.at(b - 1).isSpace() && grezza.at(b - 1) != QLatin1Char('\r'))
            --b;
        const QString riga = grezza.mid(a, b - a);
        const int uguale = riga.indexOf(QLatin1String(" = "));
        if (uguale < 0)
            continue;
        QString chiave = riga.left(uguale);
        while (chiave.startsWith(QLatin1Char('"')))
            chiave.remove(0, 1);
        while (chiave.endsWith(QLatin1Char('"')))
            chiave.chop(1);
        QString valore = riga.mid(uguale + 3);
        if (valore.endsWith(QLatin1Char(';')))
            valore.chop(1);
        if (valore.size() >= 2 && valore.startsWith(QLatin1Char('"')) && valore.endsWith(QLatin1Char('"')))
            valore = valore.mid(1, valore.size() - 2);
        if (!valori.contains(chiave))
            valori.insert(chiave, decodificaEscape(valore));
    }
    auto primo = [&](std::initializer_list<const char*> chiavi) -> std::optional<QString> {
        for (const char* k : chiavi) {
            auto it = valori.constFind(QString::fromLatin1(k));
            if (it != valori.constEnd())
                return *it;
        }
        return std::nullopt;
    };

    Brano b;
    b.titolo = primo({"__title", "title"}).value_or(QString()).trimmed();
    if (b.titolo.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double velocita = primo({"__playbackRate", "playbackRate"}).value_or(QStringLiteral("0")).trimmed().toDouble(&ok);
    b.inRiproduzione = ok && std::isfinite(velocita) && velocita > 0;

    auto tempo = [&](const char* chiave) -> std::optional<double> {
        auto v = primo({chiave});
        if (!v)
            return std::nullopt;
        auto n = numeroTraParentesi(*v);
        if (!n)
            return std::nullopt;
        return tempoDaTesto(QString::number(*n, 'g', 17));
    };
    b.posizione = tempo("custom: calculatedElapsedTime").value_or(tempo("elapsedTime").value_or(0));
    b.durata = tempo("duration").value_or(0);
    if (const auto p = percorso(blocco)) {
        b.bundleIDApp = p->id;
        b.nomeApp = p->nome;
        b.pid = p->pid;
    }
    b.artista = primo({"trackArtistName"}).value_or(QString());
    if (auto t = primo({"elapsedTimeTimestamp"}))
        b.aggiornatoIl = dataDaTesto(*t);
    b.campionatoIl = ora;
    return b;
}

std::optional<SorgenteSistema::Percorso> SorgenteSistema::percorso(const QString& blocco)
{
    // Only a line that starts with the key: a title that contains the
    // words cannot pass for the player.
    QString riga;
    bool trovata = false;
    for (const QString& r : blocco.split(QLatin1Char('\n'))) {
        if (r.startsWith(kPercorso)) {
            riga = r;
            trovata = true;
            break;
        }
    }
    if (!trovata)
        return std::nullopt;
    static const QRegularExpression re(QStringLiteral("([A-Za-z0-9_.\\-]+) \\((\\d+)\\) ([^❯】]+)"));
    const auto m = re.match(riga, kPercorso.size());
    if (!m.hasMatch())
        return std::nullopt;
    const QStringList pezzi = m.captured(0).split(QLatin1Char(' '));
    if (pezzi.size() < 3)
        return std::nullopt;
    // At most three pieces: the name keeps its own blanks.
    bool ok = false;
    const qint64 pid = m.captured(2).toLongLong(&ok);
    return Percorso{pezzi.at(0), m.captured(0).section(QLatin1Char(' '), 2).trimmed(), ok && pid > 0 ? pid : 0};
}

std::pair<QString, QString> SorgenteSistema::analizzaPercorso(const QString& blocco)
{
    const auto p = percorso(blocco);
    return p ? std::make_pair(p->id, p->nome) : std::pair<QString, QString>();
}

QString SorgenteSistema::decodificaEscape(const QString& valore)
{
    if (!valore.contains(QLatin1Char('\\')))
        return valore;
    QString r;
    r.reserve(valore.size());
    const int n = int(valore.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = valore.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= n) {
            r += c;
            continue;
        }
        const QChar d = valore.at(i + 1);
        if (d == QLatin1Char('n')) {
            r += QLatin1Char('\n');
            ++i;
        } else if (d == QLatin1Char('"') || d == QLatin1Char('\\')) {
            r += d;
            ++i;
        } else if ((d == QLatin1Char('u') || d == QLatin1Char('U')) && i + 5 < n) {
            bool ok = false;
            const ushort u = valore.mid(i + 2, 4).toUShort(&ok, 16);
            const QString cifre = valore.mid(i + 2, 4);
            const bool esadecimali = std::all_of(cifre.begin(), cifre.end(), [](QChar h) { return isxdigit(h.unicode()) && h.unicode() < 128; });
            if (ok && esadecimali) {
                r += QChar(u);
                i += 5;
            } else {
                r += c;
            }
        } else {
            r += c;
        }
    }
    // Lone surrogates from \u escapes become replacement characters.
    return QString::fromUtf8(r.toUtf8());
}

void SorgenteSistema::contaFallimento()
{
    ++fallimentiConsecutivi_;
    if (fallimentiConsecutivi_ > 2)
        disponibile_ = false;
}

void SorgenteSistema::alTermine(QProcess* p)
{
    if (p != processo_)
        return;
    processo_ = nullptr;
    p->deleteLater();
    dimenticaCampioni();
    if (clock_.monotonic() - istanteAvvio_ >= kVitaSana) {
        fallimentiConsecutivi_ = 0;
        avvia();
    } else {
        contaFallimento();
    }
}
