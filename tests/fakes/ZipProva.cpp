#include "ZipProva.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QtEndian>
#include <array>
#include <sys/stat.h>

namespace {

quint32 crc32(const QByteArray& d)
{
    static const auto tabella = [] {
        std::array<quint32, 256> t{};
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (const char b : d)
        c = tabella[(c ^ quint8(b)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

void u16(QByteArray& b, quint32 v)
{
    const quint16 x = qToLittleEndian(quint16(v));
    b.append(reinterpret_cast<const char*>(&x), 2);
}
void u32(QByteArray& b, quint32 v)
{
    const quint32 x = qToLittleEndian(v);
    b.append(reinterpret_cast<const char*>(&x), 4);
}

} // namespace

void ZipProva::voce(const QByteArray& nome, quint32 modo, const QByteArray& dati, bool comprimi, qint64 dichiarata)
{
    // qCompress gives a zlib stream after a 4-byte length: the raw deflate
    // data lies between its 2-byte header and 4-byte checksum.
    const QByteArray corpo = comprimi ? qCompress(dati, 9).mid(6).chopped(4) : dati;
    voci_.append({nome, modo, corpo, crc32(dati), quint32(corpo.size()),
                  quint32(dichiarata < 0 ? dati.size() : dichiarata), comprimi});
}

bool ZipProva::albero(const QString& radice, const QByteArray& prefisso)
{
    QStringList nomi;
    QDirIterator it(radice, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        nomi << QDir(radice).relativeFilePath(it.next());
    nomi.sort();
    cartella(prefisso);
    for (const QString& n : nomi) {
        const QByteArray pieno = QFile::encodeName(QDir(radice).filePath(n));
        struct stat st {};
        if (::lstat(pieno.constData(), &st) != 0)
            return false;
        const QByteArray nome = prefisso + '/' + QFile::encodeName(n);
        if (S_ISDIR(st.st_mode)) {
            voce(nome + '/', st.st_mode);
        } else if (S_ISLNK(st.st_mode)) {
            voce(nome, st.st_mode, QFile::encodeName(QFile::symLinkTarget(QString::fromLocal8Bit(pieno))));
        } else {
            QFile f(QString::fromLocal8Bit(pieno));
            if (!f.open(QIODevice::ReadOnly))
                return false;
            voce(nome, st.st_mode, f.readAll(), true);
        }
    }
    return true;
}

QByteArray ZipProva::dati() const
{
    QByteArray out, centrale;
    for (const Voce& v : voci_) {
        const quint32 posizione = quint32(out.size());
        auto intestazione = [&](QByteArray& b) {
            u16(b, 20);     // version needed
            u16(b, 0x0800); // names in UTF-8
            u16(b, v.deflate ? 8 : 0);
            u16(b, 0);      // time
            u16(b, 0x21);   // date: 1980-01-01
            u32(b, v.crc);
            u32(b, v.compressa);
            u32(b, v.dichiarata);
            u16(b, quint32(v.nome.size()));
            u16(b, 0); // extra
        };
        u32(out, 0x04034b50);
        intestazione(out);
        out += v.nome + v.corpo;

        u32(centrale, 0x02014b50);
        u16(centrale, 0x0314); // made on Unix: the mode lies in the high half of the external attributes
        intestazione(centrale);
        u16(centrale, 0); // comment
        u16(centrale, 0); // disk
        u16(centrale, 0); // internal attributes
        u32(centrale, (v.modo << 16) | (S_ISDIR(v.modo) ? 0x10 : 0));
        u32(centrale, posizione);
        centrale += v.nome;
    }
    const quint32 inizio = quint32(out.size());
    out += centrale;
    u32(out, 0x06054b50);
    u16(out, 0);
    u16(out, 0);
    u16(out, quint32(voci_.size()));
    u16(out, quint32(voci_.size()));
    u32(out, quint32(centrale.size()));
    u32(out, inizio);
    u16(out, 0);
    return out;
}

bool ZipProva::salva(const QString& percorso) const
{
    QFile f(percorso);
    const QByteArray d = dati();
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(d) == d.size();
}
