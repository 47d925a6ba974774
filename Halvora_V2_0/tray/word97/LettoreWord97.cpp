#include "LettoreWord97.h"

#include "CostruttoreDoc.h"

#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-utils.h>
#include <wv.h>

namespace {

// Word's sixteen colours, by index; 0 is the automatic colour.
constexpr quint32 kColori[] = {0,        0x000000, 0x0000FF, 0x00FFFF, 0x00FF00, 0xFF00FF, 0xFF0000, 0xFFFF00, 0xFFFFFF,
                               0x000080, 0x008080, 0x008000, 0x800080, 0x800000, 0x808000, 0x808080, 0xC0C0C0};

struct Lettura {
    CostruttoreDoc costruttore;
    // The parts of the text kept: the main text and the text boxes' stories.
    U32 fineTesto = 0;
    U32 inizioCaselle = 0;
    U32 fineCaselle = 0;

    bool tenuto(U32 cp) const { return cp < fineTesto || (cp >= inizioCaselle && cp < fineCaselle); }
};

Lettura& lettura(wvParseStruct* ps) { return *static_cast<Lettura*>(ps->userData); }

SegniElenco::Numerazione numerazione(int nfc)
{
    using N = SegniElenco::Numerazione;
    switch (nfc) {
    case 1: return N::romanaMaiuscola;
    case 2: return N::romanaMinuscola;
    case 3: return N::letteraMaiuscola;
    case 4: return N::letteraMinuscola;
    case 22: return N::decimaleDueCifre;
    case 255: return N::nessuna;
    default: return N::decimale;
    }
}

int carattere(wvParseStruct* ps, U16 c, U8 tipo, U16 lingua)
{
    Lettura& l = lettura(ps);
    if (l.tenuto(ps->currentcp))
        l.costruttore.testo(tipo == 0 ? wvHandleCodePage(c, lingua) : c);
    return 0;
}

int speciale(wvParseStruct* ps, U16 c, CHP*)
{
    Lettura& l = lettura(ps);
    // Field marks; pictures, drawings and note references have no text here.
    if (l.tenuto(ps->currentcp) && (c == CostruttoreDoc::kInizioCampo || c == CostruttoreDoc::kSeparaCampo || c == CostruttoreDoc::kFineCampo))
        l.costruttore.testo(c);
    return 0;
}

int elemento(wvParseStruct* ps, wvTag tag, void* proprieta, int)
{
    // Only characters are sorted by story: a paragraph of a story left out gets none.
    Lettura& l = lettura(ps);
    if (!proprieta)
        return 0;
    if (tag == PARABEGIN) {
        const PAP& pap = *static_cast<const PAP*>(proprieta);
        CostruttoreDoc::ProprietaParagrafo p;
        using A = TestoFormattato::Allineamento;
        p.allineamento = pap.jc == 1 ? A::centro : pap.jc == 2 ? A::destra : pap.jc >= 3 ? A::giustificato : A::sinistra;
        // Word's built-in heading styles are the style identifiers 1 to 9.
        if (pap.istd < ps->stsh.Stshi.cstd && ps->stsh.std) {
            const U32 sti = ps->stsh.std[pap.istd].sti;
            if (sti >= 1 && sti <= 9)
                p.titolo = int(sti);
        }
        p.rientro = pap.dxaLeft;
        p.primaRiga = pap.dxaLeft1;
        p.spazioPrima = int(qMin<U32>(pap.dyaBefore, 31680));
        p.spazioDopo = int(qMin<U32>(pap.dyaAfter, 31680));
        p.inTabella = pap.fInTable != 0;
        p.fineRiga = pap.fTtp != 0;
        if (pap.ilfo > 0 && pap.linfo.numberstr) {
            p.elenco = pap.ilfo;
            p.livello = pap.ilvl;
            p.punto = pap.linfo.format == 23;
            p.numerazione = numerazione(pap.linfo.format);
            p.inizio = int(pap.linfo.start);
            for (U32 i = 0; i < pap.linfo.numberstr_size && i < 64; ++i)
                p.segno += QChar(char16_t(pap.linfo.numberstr[i]));
            // Lists whose levels carry no indent of their own hang from a half inch a level.
            if (pap.dxaLeft == 0 && pap.dxaLeft1 == 0) {
                p.rientro = 720 * (p.livello + 1);
                p.primaRiga = -360;
            }
        }
        l.costruttore.paragrafo(p);
    } else if (tag == CHARPROPBEGIN) {
        const CHP& chp = *static_cast<const CHP*>(proprieta);
        CostruttoreDoc::ProprietaCarattere c;
        c.grassetto = chp.fBold;
        c.corsivo = chp.fItalic;
        c.sottolineato = chp.kul != 0;
        c.barrato = chp.fStrike || chp.fDStrike;
        c.nascosto = chp.fVanish || chp.fRMarkDel;
        c.mezziPunti = chp.hps;
        if (chp.ico > 0 && chp.ico < std::size(kColori))
            c.colore = kColori[chp.ico];
        l.costruttore.carattere(c);
    }
    return 0;
}

} // namespace

namespace LettoreWord97 {

std::optional<TestoFormattato> leggi(const QByteArray& file)
{
    wvInit();
    GsfInput* ingresso = gsf_input_memory_new(reinterpret_cast<const guint8*>(file.constData()), file.size(), FALSE);
    if (!ingresso)
        return std::nullopt;
    // The input and the parser are left to the end of the process, which follows at once.
    wvParseStruct ps;
    // 0 is a document it reads; anything else (not Word, encrypted, damaged) is not.
    if (wvInitParser_gsf(&ps, ingresso) != 0 || ps.fib.fEncrypted)
        return std::nullopt;
    Lettura l;
    const FIB& fib = ps.fib;
    const auto conta = [](auto n) { return static_cast<U32>(qMax(0, int(n))); };
    l.fineTesto = conta(fib.ccpText);
    l.inizioCaselle = l.fineTesto + conta(fib.ccpFtn) + conta(fib.ccpHdr) + conta(fib.ccpAtn) + conta(fib.ccpEdn);
    l.fineCaselle = l.inizioCaselle + conta(fib.ccpTxbx);
    ps.userData = &l;
    wvSetCharHandler(&ps, carattere);
    wvSetSpecialCharHandler(&ps, speciale);
    wvSetElementHandler(&ps, elemento);
    const int esito = wvText(&ps);
    wvOLEFree(&ps);
    wvShutdown();
    if (esito != 0)
        return std::nullopt;
    return l.costruttore.documento();
}

} // namespace LettoreWord97
