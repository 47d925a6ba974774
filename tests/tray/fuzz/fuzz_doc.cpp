// Fuzzes the Word 97 document builder with what a reader of the file
// could report: paragraph and character properties and characters, Word's
// marks among them. Whatever it builds, written as the helper writes it
// and read back as the application reads it, is the same document.
#include "CostruttoreDoc.h"
#include "DocumentoWord.h"
#include "LettoreDocx.h"

#include <cstddef>
#include <cstdint>

namespace {

class Byte {
public:
    Byte(const uint8_t* d, size_t n) : d_(d), n_(n) {}
    bool finiti() const { return i_ >= n_; }
    uint8_t uno() { return i_ < n_ ? d_[i_++] : 0; }
    int16_t due() { return int16_t(uno() | (uno() << 8)); }

private:
    const uint8_t* d_;
    size_t n_;
    size_t i_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n)
{
    Byte b(dati, n);
    CostruttoreDoc c;
    while (!b.finiti()) {
        switch (b.uno() % 4) {
        case 0: {
            CostruttoreDoc::ProprietaParagrafo p;
            const uint8_t bit = b.uno();
            p.inTabella = bit & 1;
            p.fineRiga = bit & 2;
            p.elenco = bit & 4 ? 1 + (bit >> 6) : 0;
            p.punto = bit & 8;
            p.allineamento = TestoFormattato::Allineamento(b.uno() % 4);
            p.titolo = b.uno() % 12 - 1;
            p.rientro = b.due();
            p.primaRiga = b.due();
            p.livello = b.uno() % 11 - 1;
            p.numerazione = SegniElenco::Numerazione(b.uno() % 7);
            p.inizio = b.due();
            const QChar segno[] = {QChar(char16_t(b.due())), QChar(char16_t(b.uno() % 10))};
            p.segno = QString(segno, 2);
            c.paragrafo(p);
            break;
        }
        case 1: {
            CostruttoreDoc::ProprietaCarattere p;
            const uint8_t bit = b.uno();
            p.grassetto = bit & 1;
            p.corsivo = bit & 2;
            p.sottolineato = bit & 4;
            p.barrato = bit & 8;
            p.nascosto = (bit & 0x30) == 0x30;
            p.mezziPunti = b.due();
            if (bit & 0x80)
                p.colore = quint32(b.due()) << 8 | b.uno();
            c.carattere(p);
            break;
        }
        case 2:
            c.testo(char16_t(b.due()));
            break;
        default:
            // Runs of plain text with Word's marks below 32 among them.
            for (int k = b.uno() % 32; k > 0; --k)
                c.testo(char16_t(b.uno()));
            break;
        }
    }
    const TestoFormattato doc = c.documento();
    const auto riletto = LettoreDocx::leggiXml(DocumentoWord::documentXml(doc));
    if (!riletto || riletto->paragrafi != doc.paragrafi)
        __builtin_trap();
    return 0;
}
