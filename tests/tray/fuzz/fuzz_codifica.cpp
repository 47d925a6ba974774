// Fuzzes the reading of text and HTML files in their encodings. Whatever
// the bytes, it ends; valid UTF-8 without a mark or a declaration reads as
// UTF-8; what it reads is text that UTF-8 carries and reads back alike.
#include "CodificaTesto.h"

#include <QStringConverter>
#include <cstddef>
#include <cstdint>

namespace {

void tornaUguale(const QString& testo)
{
    // A leading U+FEFF written as UTF-8 is a mark the next reading drops.
    QString senzaSegno = testo;
    while (senzaSegno.startsWith(QChar(0xFEFF)))
        senzaSegno.remove(0, 1);
    if (CodificaTesto::testo(senzaSegno.toUtf8()) != senzaSegno)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    const QByteArray b(reinterpret_cast<const char*>(dati), qsizetype(n));
    const QString testo = CodificaTesto::testo(b);
    const QString html = CodificaTesto::html(b);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString comeUtf8 = utf8(b);
    if (!utf8.hasError() && !QStringConverter::encodingForData(b)) {
        if (testo != comeUtf8 || (!b.toLower().contains("charset") && html != comeUtf8))
            __builtin_trap();
    }
    tornaUguale(testo);
    tornaUguale(html);
    return 0;
}
