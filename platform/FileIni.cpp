#include "FileIni.h"

#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QMap>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>

namespace FileIni {
namespace {

bool semplice(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
           || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_') || c == QLatin1Char('.')
           || c == QLatin1Char('-');
}

QString chiave(const QString& k)
{
    QString r;
    for (const QChar c : k) {
        if (semplice(c))
            r += c;
        else if (c == QLatin1Char('/'))
            r += QLatin1Char('\\');
        else if (c.unicode() < 0x100)
            r += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            r += QStringLiteral("%U%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper();
    }
    return r;
}

// A quoted string. A hex escape ends by closing the quotes and opening
// new ones (the reader joins them), so no digit after it joins the number.
QString citata(const QString& s)
{
    QString r = QStringLiteral("\"");
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        // A surrogate without its pair has no UTF-8, and the reader drops a
        // byte-order mark that begins a value: written as their numbers.
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) {
            r += c;
            r += s.at(++i);
            continue;
        }
        if (c.isSurrogate() || c.unicode() == 0xfeff) {
            r += QStringLiteral("\\x%1\"\"").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            continue;
        }
        switch (c.unicode()) {
        case '"':
            r += QStringLiteral("\\\"");
            break;
        case '\\':
            r += QStringLiteral("\\\\");
            break;
        case '\n':
            r += QStringLiteral("\\n");
            break;
        case '\r':
            r += QStringLiteral("\\r");
            break;
        case '\t':
            r += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                r += QStringLiteral("\\x%1\"\"").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                r += c;
        }
    }
    return r + QLatin1Char('"');
}

// A text as the reader takes it back: one "@" more where it begins with one.
QString testoLetterale(const QString& s) { return citata(s.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + s : s); }

// What has no text form of its own, as QSettings serialises it.
QString serializzato(const QVariant& v)
{
    QByteArray byte;
    {
        QDataStream s(&byte, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_4_0); // the version QSettings reads it with
        s << v;
        if (s.status() != QDataStream::Ok)
            return QStringLiteral("@Invalid()");
    }
    return citata(QStringLiteral("@Variant(") + QString::fromLatin1(byte) + QLatin1Char(')'));
}

QString valore(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toString();
    case QMetaType::QString:
        return testoLetterale(v.toString());
    case QMetaType::QDateTime: {
        // ISO text has four digits for the year.
        const QDateTime utc = v.toDateTime().toUTC();
        if (utc.isValid() && (utc.date().year() < 0 || utc.date().year() > 9999))
            return serializzato(v);
        return citata(utc.toString(Qt::ISODateWithMs));
    }
    case QMetaType::QByteArray:
        return citata(QStringLiteral("@ByteArray(") + QString::fromLatin1(v.toByteArray()) + QLatin1Char(')'));
    case QMetaType::QStringList: {
        // Text reads back as a list from two items on; fewer would read as one text or none.
        const QStringList lista = v.toStringList();
        if (lista.size() < 2)
            return serializzato(v);
        QStringList voci;
        for (const QString& s : lista)
            voci << testoLetterale(s);
        return voci.join(QStringLiteral(", "));
    }
    default:
        return serializzato(v);
    }
}

// A section QSettings would take for the top level: "general" in any letter case.
QString sezione(const QString& gruppo)
{
    const QString s = chiave(gruppo);
    if (s.compare(QLatin1String("general"), Qt::CaseInsensitive) != 0)
        return s;
    return QStringLiteral("%%1").arg(s.at(0).unicode(), 2, 16, QLatin1Char('0')).toUpper() + s.mid(1);
}

// Whether QSettings can take a line by itself: text, its quotes closed, and
// no backslash at its end that would join the next line to it.
bool rigaLeggibile(QByteArrayView riga)
{
    if (!riga.isValidUtf8() || riga.contains('\0'))
        return false;
    bool citata = false;
    for (qsizetype i = 0; i < riga.size(); ++i) {
        if (riga[i] == '\\') {
            if (++i == riga.size())
                return false;
        } else if (riga[i] == '"') {
            citata = !citata;
        }
    }
    return !citata;
}

// Reads a value as QSettings' stream holds it (big-endian, the 4.0 format),
// checking each size it declares against the bytes that are there.
class Flusso {
public:
    explicit Flusso(QByteArrayView b) : b_(b) {}
    qsizetype resto() const { return b_.size() - i_; }
    bool numero(quint32& n)
    {
        if (resto() < 4)
            return false;
        n = 0;
        for (int k = 0; k < 4; ++k)
            n = (n << 8) | quint8(b_[i_++]);
        return true;
    }
    bool salta(qsizetype n)
    {
        if (n > resto())
            return false;
        i_ += n;
        return true;
    }
    bool blocco() // a text or bytes: its length, or all ones for none
    {
        quint32 n;
        return numero(n) && (n == 0xffffffffu || salta(n));
    }
    bool conteggio(quint32& n, qsizetype minimo) { return numero(n) && n <= quint64(resto()) / quint64(minimo); }
    bool valore(int profondita)
    {
        quint32 tipo, n;
        if (!numero(tipo))
            return false;
        switch (tipo) {
        case QMetaType::UnknownType: // a 4.x stream writes a null text after it
            return blocco();
        case QMetaType::Bool:
            return salta(1);
        case QMetaType::Int:
        case QMetaType::UInt:
            return salta(4);
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
            return salta(8);
        case QMetaType::QString:
        case QMetaType::QByteArray:
            return blocco();
        case QMetaType::QDateTime: // day, milliseconds, time spec
            return salta(9);
        case QMetaType::QStringList:
            if (!conteggio(n, 4))
                return false;
            while (n--)
                if (!blocco())
                    return false;
            return true;
        case QMetaType::QVariantList:
            if (profondita > 16 || !conteggio(n, 4))
                return false;
            while (n--)
                if (!valore(profondita + 1))
                    return false;
            return true;
        case QMetaType::QVariantMap:
            if (profondita > 16 || !conteggio(n, 8))
                return false;
            while (n--)
                if (!blocco() || !valore(profondita + 1))
                    return false;
            return true;
        default: // nothing this program writes
            return false;
        }
    }

private:
    QByteArrayView b_;
    qsizetype i_ = 0;
};

// Which of these lines' serialised values can be read safely: Qt's stream
// reserves whatever a list's count says before reading it, so a few
// edited bytes could ask for gigabytes. The values are unescaped by
// QSettings itself, asked to take them as plain bytes.
QList<bool> serializzatiSicuri(const QList<QByteArrayView>& righe)
{
    static constexpr QByteArrayView kVariante("@Variant("), kSegno("@ByteArray(halvora-variante:");
    QByteArray testo("[v]\n");
    for (qsizetype i = 0; i < righe.size(); ++i) {
        QByteArray v = righe[i].sliced(righe[i].indexOf('=') + 1).toByteArray();
        v.replace(kVariante, kSegno);
        testo += 'k' + QByteArray::number(i) + '=' + v + '\n';
    }
    QList<bool> sicuri(righe.size(), false);
    QTemporaryFile copia(QDir::tempPath() + QStringLiteral("/halvora-ini-XXXXXX.ini"));
    if (!copia.open() || copia.write(testo) != testo.size() || !copia.flush())
        return sicuri;
    const QSettings ini(copia.fileName(), QSettings::IniFormat);
    const QByteArray segno = kSegno.sliced(11).toByteArray();
    for (qsizetype i = 0; i < righe.size(); ++i) {
        const QVariant v = ini.value(QStringLiteral("v/k%1").arg(i));
        const QVariantList voci = v.typeId() == QMetaType::QVariantList ? v.toList() : QVariantList{v};
        bool ok = true;
        for (const QVariant& voce : voci) {
            const QByteArray b = voce.toByteArray();
            if (voce.typeId() != QMetaType::QByteArray || !b.startsWith(segno))
                continue;
            Flusso f(QByteArrayView(b).sliced(segno.size()));
            ok = ok && f.valore(0) && f.resto() == 0;
        }
        sicuri[i] = ok;
    }
    return sicuri;
}
} // namespace

QByteArray testo(const QVariantMap& valori)
{
    // A key's first group is its section, as QSettings reads it back; the
    // keys of no group are under [General].
    QMap<QString, QString> sezioni;
    QString generale;
    for (auto it = valori.cbegin(); it != valori.cend(); ++it) {
        const QString k = chiaveNormale(it.key());
        if (k.isEmpty())
            continue;
        const qsizetype barra = k.indexOf(QLatin1Char('/'));
        QString& righe = barra < 0 ? generale : sezioni[sezione(k.left(barra))];
        righe += chiave(k.mid(barra + 1)) + QLatin1Char('=') + valore(it.value()) + QLatin1Char('\n');
    }
    QString r;
    if (!generale.isEmpty())
        r = QStringLiteral("[General]\n") + generale;
    for (auto it = sezioni.cbegin(); it != sezioni.cend(); ++it)
        r += QStringLiteral("\n[") + it.key() + QStringLiteral("]\n") + it.value();
    return r.toUtf8();
}

QString chiaveNormale(const QString& k)
{
    return k.split(QLatin1Char('/'), Qt::SkipEmptyParts).join(QLatin1Char('/'));
}

Lettura leggi(const QByteArray& byte)
{
    Lettura l;
    // The lines QSettings can read, each alone: a line it cannot would take
    // the rest of the file with it. Under a section that cannot be read,
    // nothing is read until the next one.
    QList<QByteArrayView> righe, serializzate;
    bool sezioneLetta = true;
    for (qsizetype inizio = 0, fine; inizio < byte.size(); inizio = fine + 1) {
        fine = inizio;
        while (fine < byte.size() && byte[fine] != '\n' && byte[fine] != '\r')
            ++fine;
        const QByteArrayView riga(byte.constData() + inizio, fine - inizio);
        const bool ok = rigaLeggibile(riga);
        if (riga.trimmed().startsWith('['))
            sezioneLetta = ok;
        if (ok && sezioneLetta) {
            righe.append(riga);
            if (riga.contains(QByteArrayView("@Variant(")) && !riga.trimmed().startsWith('['))
                serializzate.append(riga);
        } else {
            l.intero = false;
        }
    }
    const QList<bool> sicuri = serializzate.isEmpty() ? QList<bool>() : serializzatiSicuri(serializzate);
    QByteArray leggibile;
    for (qsizetype i = 0, s = 0; i < righe.size(); ++i) {
        if (s < serializzate.size() && righe[i].data() == serializzate[s].data() && !sicuri[s++]) {
            l.intero = false;
            continue;
        }
        leggibile += righe[i];
        leggibile += '\n';
    }
    if (leggibile.isEmpty())
        return l;
    // QSettings keeps what it parsed by file name for the whole process and
    // trusts it while the file's size and time (to the millisecond) stay:
    // the bytes are parsed under a name never used before.
    QTemporaryFile copia(QDir::tempPath() + QStringLiteral("/halvora-ini-XXXXXX.ini"));
    if (!copia.open() || copia.write(leggibile) != leggibile.size() || !copia.flush()) {
        l.intero = false;
        return l;
    }
    const QSettings ini(copia.fileName(), QSettings::IniFormat);
    for (const QString& k : ini.allKeys()) {
        // An empty key, or one with empty groups, is listed, but its value cannot be asked for.
        if (!k.isEmpty() && chiaveNormale(k) == k)
            l.valori.insert(k, ini.value(k));
        else
            l.intero = false;
    }
    if (ini.status() != QSettings::NoError)
        l.intero = false;
    return l;
}

} // namespace FileIni
