#include "CodificaTesto.h"

#include <QStringDecoder>

#include <uchardet.h>
#include <memory>

namespace {

// Bytes beyond these tell uchardet nothing more.
constexpr qsizetype kCampione = qsizetype(256) << 10;

QStringDecoder senzaLatin1(QStringDecoder d)
{
    const QByteArray nome = QByteArray(d.name()).toLower();
    if (nome == "iso-8859-1" || nome == "us-ascii" || nome == "ascii") {
        QStringDecoder w("windows-1252");
        if (w.isValid())
            return w;
    }
    return d;
}

QStringDecoder indovinata(const QByteArray& dati)
{
    if (const auto bom = QStringConverter::encodingForData(dati))
        return QStringDecoder(*bom);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString comeUtf8 = utf8(dati);
    if (!utf8.hasError())
        return QStringDecoder(QStringDecoder::Utf8);
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> u(uchardet_new(), uchardet_delete);
    if (u && uchardet_handle_data(u.get(), dati.constData(), size_t(qMin(dati.size(), kCampione))) == 0) {
        uchardet_data_end(u.get());
        const char* nome = uchardet_get_charset(u.get());
        if (nome && *nome) {
            QStringDecoder d(nome);
            if (d.isValid())
                return senzaLatin1(std::move(d));
        }
    }
    QStringDecoder w("windows-1252");
    return w.isValid() ? std::move(w) : QStringDecoder(QStringDecoder::Latin1);
}

// UTF-16 and UTF-32 files may hold halves of surrogate pairs alone: they
// are no character, and become the replacement character.
QString ripulito(QString s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            s[i] = QChar::ReplacementCharacter;
    }
    return s;
}

// Whether a <meta> among the first bytes names a charset, as browsers look for one.
bool dichiara(const QByteArray& dati)
{
    const QByteArray testa = dati.left(1024).toLower();
    for (qsizetype i = testa.indexOf("<meta"); i >= 0; i = testa.indexOf("<meta", i + 5)) {
        const qsizetype fine = testa.indexOf('>', i);
        const qsizetype charset = testa.indexOf("charset", i);
        if (charset >= 0 && (fine < 0 || charset < fine))
            return true;
    }
    return false;
}

} // namespace

namespace CodificaTesto {

QString testo(const QByteArray& dati)
{
    QStringDecoder d = indovinata(dati);
    return ripulito(d(dati));
}

QString html(const QByteArray& dati)
{
    if (!QStringConverter::encodingForData(dati) && dichiara(dati)) {
        QStringDecoder d = QStringDecoder::decoderForHtml(dati);
        if (d.isValid()) {
            d = senzaLatin1(std::move(d));
            return ripulito(d(dati));
        }
    }
    return testo(dati);
}

} // namespace CodificaTesto
