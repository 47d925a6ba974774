#include "FileIni.h"

#include <QDateTime>
#include <QMap>
#include <QStringList>

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
    for (const QChar c : s) {
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

QString valore(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return v.toString();
    case QMetaType::QDateTime:
        return citata(v.toDateTime().toUTC().toString(Qt::ISODateWithMs));
    case QMetaType::QByteArray:
        return citata(QStringLiteral("@ByteArray(") + QString::fromLatin1(v.toByteArray()) + QLatin1Char(')'));
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        const QStringList lista = v.toStringList();
        // As QSettings has it: no item is nothing, one item a plain text.
        if (lista.isEmpty())
            return QStringLiteral("@Invalid()");
        if (lista.size() == 1)
            return testoLetterale(lista.first());
        QStringList voci;
        for (const QString& s : lista)
            voci << testoLetterale(s);
        return voci.join(QStringLiteral(", "));
    }
    default:
        if (!v.isValid())
            return QStringLiteral("@Invalid()");
        return testoLetterale(v.toString());
    }
}

} // namespace

QByteArray testo(const QVariantMap& valori)
{
    // A key's first group is its section, as QSettings reads it back; the
    // keys of no group are under [General], a group of that name is "%General".
    QMap<QString, QString> sezioni;
    for (auto it = valori.cbegin(); it != valori.cend(); ++it) {
        const qsizetype barra = it.key().indexOf(QLatin1Char('/'));
        QString sezione = barra < 0 ? QStringLiteral("General") : chiave(it.key().left(barra));
        if (barra >= 0 && sezione == QLatin1String("General"))
            sezione = QStringLiteral("%General");
        sezioni[sezione] += chiave(it.key().mid(barra + 1)) + QLatin1Char('=') + valore(it.value()) + QLatin1Char('\n');
    }
    QString r;
    if (sezioni.contains(QStringLiteral("General")))
        r = QStringLiteral("[General]\n") + sezioni.take(QStringLiteral("General"));
    for (auto it = sezioni.cbegin(); it != sezioni.cend(); ++it)
        r += QStringLiteral("\n[") + it.key() + QStringLiteral("]\n") + it.value();
    return r.toUtf8();
}

} // namespace FileIni
