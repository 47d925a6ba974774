#include "Appunto.h"

#include <QFile>
#include <QStringDecoder>
#include <cstring>

namespace {

// Bytes decoded at a time when looking through a long text.
constexpr qsizetype kPezzo = 64 * 1024;

// The code point that starts at `p` (n bytes left), and its length; a
// malformed one reads as U+FFFD of length 1.
char32_t codice(const uchar* p, qsizetype n, qsizetype& lunghezza)
{
    lunghezza = 1;
    const uchar c = p[0];
    if (c < 0x80)
        return c;
    const int seguono = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (seguono < 0 || seguono >= n)
        return 0xFFFD;
    char32_t v = c & (0x3F >> seguono);
    for (int i = 1; i <= seguono; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0xFFFD;
        v = (v << 6) | (p[i] & 0x3F);
    }
    lunghezza = seguono + 1;
    return v;
}

} // namespace

Appunto::File::~File() { QFile::remove(percorso_); }

std::optional<QByteArray> Appunto::File::leggi() const
{
    QFile f(percorso_);
    if (!f.open(QIODevice::ReadOnly) || f.size() != dimensione_)
        return std::nullopt;
    QByteArray b = f.readAll();
    if (b.size() != dimensione_)
        return std::nullopt;
    return b;
}

bool Appunto::File::contiene(const QByteArray& utf8) const
{
    QFile f(percorso_);
    if (utf8.size() != dimensione_ || !f.open(QIODevice::ReadOnly) || f.size() != dimensione_)
        return false;
    QByteArray pezzo(kPezzo * 16, Qt::Uninitialized);
    for (qsizetype da = 0; da < dimensione_;) {
        const qint64 n = f.read(pezzo.data(), std::min<qsizetype>(pezzo.size(), dimensione_ - da));
        if (n <= 0 || std::memcmp(pezzo.constData(), utf8.constData() + da, size_t(n)) != 0)
            return false;
        da += n;
    }
    return true;
}

Appunto Appunto::daUtf8(QByteArray utf8)
{
    Appunto a;
    a.utf8_ = std::move(utf8);
    return a;
}

Appunto Appunto::inFile(std::shared_ptr<const File> file, QByteArray inizio)
{
    Appunto a;
    a.utf8_ = std::move(inizio);
    a.file_ = std::move(file);
    return a;
}

QString Appunto::testo() const
{
    if (!file_)
        return QString::fromUtf8(utf8_);
    return QString::fromUtf8(file_->leggi().value_or(QByteArray()));
}

std::optional<QByteArray> Appunto::intero() const
{
    if (!file_)
        return utf8_;
    return file_->leggi();
}

QByteArray Appunto::inizioUtf8(const QByteArray& utf8, qsizetype quanti)
{
    if (utf8.size() <= quanti)
        return utf8;
    qsizetype fine = std::max<qsizetype>(quanti, 0);
    // Back to the first byte of the character the cut would fall in.
    while (fine > 0 && (uchar(utf8[fine]) & 0xC0) == 0x80)
        --fine;
    return utf8.first(fine);
}

QString Appunto::inizio(qsizetype quanti) const
{
    // A UTF-16 unit never takes more than three bytes (four bytes make two units).
    QStringDecoder decodifica(QStringDecoder::Utf8);
    QString s = decodifica(QByteArrayView(utf8_).first(std::min(utf8_.size(), 3 * quanti)));
    s.truncate(quanti);
    return s;
}

bool Appunto::contiene(const QString& ricerca) const
{
    if (ricerca.isEmpty())
        return true;
    QStringDecoder decodifica(QStringDecoder::Utf8);
    // The end of the previous piece goes along, so a match across two pieces is found.
    QString coda;
    for (qsizetype da = 0; da < utf8_.size(); da += kPezzo) {
        const QString pezzo = coda + decodifica(QByteArrayView(utf8_).sliced(da, std::min(kPezzo, utf8_.size() - da)));
        if (pezzo.contains(ricerca, Qt::CaseInsensitive))
            return true;
        coda = pezzo.right(ricerca.size() - 1);
    }
    return false;
}

void Appunto::rifila(QByteArray& utf8)
{
    const auto* p = reinterpret_cast<const uchar*>(utf8.constData());
    const qsizetype n = utf8.size();
    qsizetype inizio = 0;
    while (inizio < n) {
        qsizetype l = 0;
        if (!QChar::isSpace(codice(p + inizio, n - inizio, l)))
            break;
        inizio += l;
    }
    qsizetype fine = n;
    while (fine > inizio) {
        qsizetype da = fine - 1;
        while (da > inizio && fine - da < 4 && (p[da] & 0xC0) == 0x80)
            --da;
        qsizetype l = 0;
        if (!QChar::isSpace(codice(p + da, fine - da, l)) || da + l != fine)
            break;
        fine = da;
    }
    // In place: no second copy of a long text, even for a moment.
    if (fine < n)
        utf8.truncate(fine);
    if (inizio > 0)
        utf8.remove(0, inizio);
}

QStringList testiDi(const QList<Appunto>& voci)
{
    QStringList testi;
    for (const Appunto& a : voci)
        testi << a.testo();
    return testi;
}
