#include "LettoreRtf.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <cctype>
#include <utility>

namespace {

using Tratto = TestoFormattato::Tratto;
using Allineamento = TestoFormattato::Allineamento;

// Destinations whose text is not part of the document body.
const QSet<QByteArray>& destinazioniSaltate()
{
    static const QSet<QByteArray> s{
        "info", "pict", "object", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
        "footerf", "footnote", "xe", "tc", "txe", "listtable", "listoverridetable", "revtbl", "rsidtbl",
        "generator", "themedata", "colorschememapping", "datastore", "latentstyles", "filetbl", "pgdsctbl",
        "nonshppict", "shppict", "shprslt", "sp", "bkmkstart", "bkmkend", "userprops", "xmlnstbl", "mmathPr",
        "wgrffmtfilter", "fchars", "lchars", "pntxta", "pntxtb", "template", "ftnsep", "ftnsepc", "ftncn",
        "aftnsep", "aftnsepc", "aftncn", "annotation", "atnid", "atnauthor"};
    return s;
}

// 22 inches, the widest page Word lays out, in twentieths of a point.
constexpr long long kRientroMassimo = 31680;
// More styles, colours or fonts than these are not a document's own.
constexpr long long kNumeroMassimo = 32767;

enum class Destinazione {
    testo,
    saltata,
    stili,      // the style sheet, between its styles
    stile,      // one style's definition
    colori,
    caratteri,  // the font table
    istruzione, // a field's instruction
    segno,      // a list paragraph's marker
};

struct Stato {
    Tratto formato;
    Allineamento allineamento = Allineamento::sinistra;
    int titolo = 0;
    long long rientro = 0;   // twips
    long long primaRiga = 0; // twips
    long long spazioPrima = 0, spazioDopo = 0;
    bool inTabella = false;
    bool nascosto = false; // hidden text and tracked deletions
    int uc = 1; // characters that stand in for each \u
    int carattere = -1; // the font
    Destinazione destinazione = Destinazione::testo;
};

// The properties a style's definition sets; the rest comes from the style it is based on.
namespace Bit {
enum : quint32 {
    grassetto = 1, corsivo = 2, sottolineato = 4, barrato = 8, punti = 16, colore = 32,
    allineamento = 64, titolo = 128, rientro = 256, primaRiga = 512, spazioPrima = 1024, spazioDopo = 2048,
    carattere = grassetto | corsivo | sottolineato | barrato | punti | colore,
    paragrafo = allineamento | titolo | rientro | primaRiga | spazioPrima | spazioDopo,
};
} // namespace Bit

struct Stile {
    Stato stato;
    quint32 impostati = 0;
    int basatoSu = -1;
};

// `s`'s own properties over `base`.
void sopra(Stato& base, const Stile& s)
{
    const auto se = [&](quint32 bit, auto& mio, const auto& suo) {
        if (s.impostati & bit)
            mio = suo;
    };
    se(Bit::grassetto, base.formato.grassetto, s.stato.formato.grassetto);
    se(Bit::corsivo, base.formato.corsivo, s.stato.formato.corsivo);
    se(Bit::sottolineato, base.formato.sottolineato, s.stato.formato.sottolineato);
    se(Bit::barrato, base.formato.barrato, s.stato.formato.barrato);
    se(Bit::punti, base.formato.punti, s.stato.formato.punti);
    se(Bit::colore, base.formato.colore, s.stato.formato.colore);
    se(Bit::allineamento, base.allineamento, s.stato.allineamento);
    se(Bit::titolo, base.titolo, s.stato.titolo);
    se(Bit::rientro, base.rientro, s.stato.rientro);
    se(Bit::primaRiga, base.primaRiga, s.stato.primaRiga);
    se(Bit::spazioPrima, base.spazioPrima, s.stato.spazioPrima);
    se(Bit::spazioDopo, base.spazioDopo, s.stato.spazioDopo);
}

class Lettore {
public:
    explicit Lettore(const QByteArray& rtf) : s_(rtf) {}

    std::optional<TestoFormattato> leggi()
    {
        qsizetype i = 0;
        while (i < s_.size() && QChar::isSpace(uchar(s_[i])))
            ++i;
        if (!s_.mid(i, 5).startsWith("{\\rtf"))
            return std::nullopt;
        pos_ = i;
        while (pos_ < s_.size()) {
            const char c = s_[pos_++];
            if (c == '{' || c == '}')
                daSaltare_ = 0;
            if (c == '{') {
                flush();
                if (pila_.size() >= LettoreRtf::kProfonditaMassima)
                    return std::nullopt;
                pila_.push_back(stato_);
            } else if (c == '}') {
                flush();
                if (pila_.isEmpty())
                    break; // the document's own group is closed
                chiudiGruppo();
                stato_ = pila_.takeLast();
                if (pila_.isEmpty())
                    break;
            } else if (c == '\\') {
                controllo();
            } else if (c != '\r' && c != '\n') {
                daSaltare_ > 0 ? void(--daSaltare_) : byte(uchar(c));
            }
        }
        flush();
        chiudiParagrafo(false);
        return std::move(doc_);
    }

private:
    struct Campo {
        qsizetype profondita; // of its \field group
        QString istruzione;
        bool risultato = false;
    };

    bool mostrato() const
    {
        return stato_.destinazione == Destinazione::testo || stato_.destinazione == Destinazione::segno;
    }

    // Ends what the group being closed defined: a style, a field.
    void chiudiGruppo()
    {
        if (stato_.destinazione == Destinazione::stile && idStile_ >= 0 && pila_.last().destinazione != Destinazione::stile) {
            if (stili_.size() < kNumeroMassimo)
                stili_.insert(idStile_, Stile{stato_, impostati_, basatoSu_});
            idStile_ = -1;
        }
        if (!campi_.isEmpty() && campi_.last().profondita == pila_.size()) {
            // A button field without a result shows its own text, as word processors do.
            const Campo c = campi_.takeLast();
            const QStringList parole = c.istruzione.simplified().split(QLatin1Char(' '));
            if (!c.risultato && parole.size() > 2 && parole[0].compare(QLatin1String("MACROBUTTON"), Qt::CaseInsensitive) == 0
                && stato_.destinazione == Destinazione::testo)
                testo(parole.mid(2).join(QLatin1Char(' ')));
        }
    }

    void byte(uchar b)
    {
        if (stato_.destinazione == Destinazione::colori) {
            if (b == ';' && colori_.size() < kNumeroMassimo) {
                colori_.push_back(coloreInCorso_);
                coloreInCorso_.reset();
            }
            return;
        }
        if (mostrato() || stato_.destinazione == Destinazione::istruzione)
            byte_.append(char(b));
    }

    void testo(const QString& t)
    {
        flush();
        if (t.isEmpty())
            return;
        if (stato_.destinazione == Destinazione::istruzione) {
            if (!campi_.isEmpty() && campi_.last().istruzione.size() < 4096)
                campi_.last().istruzione += t;
            return;
        }
        if (!mostrato() || stato_.nascosto)
            return;
        QString mostra = t;
        if (stato_.destinazione == Destinazione::segno) {
            // Word processors draw no spaces before a marker (LibreOffice writes
            // " 1."): kept, they would push it past the tab its text hangs from.
            if (corrente_.tratti.isEmpty()) {
                qsizetype spazi = 0;
                while (spazi < mostra.size() && mostra[spazi] == u' ')
                    ++spazi;
                mostra.remove(0, spazi);
            }
            // A marker in a symbol font is a bullet whatever its character there,
            // and so are private characters and the middle dot older writers use.
            const bool simbolo = simboli_.contains(stato_.carattere);
            for (QChar& c : mostra)
                if (!c.isSpace() && (simbolo || c == u'\u00B7' || (c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF)))
                    c = QChar(u'\u2022');
        }
        corrente_.aggiungi(stato_.formato, mostra);
    }

    // Bytes of the code page are decoded together, so that multi-byte code
    // pages and runs of \'hh escapes read as one text.
    void flush()
    {
        if (byte_.isEmpty())
            return;
        const QByteArray b = std::exchange(byte_, {});
        testo(decodifica_(b));
    }

    void chiudiParagrafo(bool sempre)
    {
        if (!sempre && corrente_.tratti.isEmpty())
            return;
        TestoFormattato::Paragrafo p = std::exchange(corrente_, {});
        p.allineamento = stato_.allineamento;
        p.titolo = stato_.titolo;
        p.rientro = qBound(-kRientroMassimo, stato_.rientro, kRientroMassimo) / 20.0;
        p.primaRiga = qBound(-kRientroMassimo, stato_.primaRiga, kRientroMassimo) / 20.0;
        p.spazioPrima = qBound(0LL, stato_.spazioPrima, kRientroMassimo) / 20.0;
        p.spazioDopo = qBound(0LL, stato_.spazioDopo, kRientroMassimo) / 20.0;
        p.cella = celle_.paragrafo(stato_.inTabella);
        segnoLetto_ = false;
        doc_.paragrafi.push_back(std::move(p));
    }

    void carattere(char16_t c) { testo(QString(QChar(c))); }

    void controllo()
    {
        if (pos_ >= s_.size())
            return;
        const char c = s_[pos_];
        if (!std::isalpha(uchar(c))) {
            ++pos_;
            if (c == '\'' && pos_ + 2 <= s_.size())
                pos_ += 2;
            // The characters that stand in for a \u: a control counts as one.
            if (daSaltare_ > 0) {
                --daSaltare_;
                return;
            }
            if (c == '\'')
                pos_ -= 2;
            simbolo(c);
            return;
        }
        const qsizetype inizio = pos_;
        while (pos_ < s_.size() && pos_ - inizio < 32 && std::isalpha(uchar(s_[pos_])))
            ++pos_;
        const QByteArray parola = s_.mid(inizio, pos_ - inizio);
        bool conParametro = false;
        long long parametro = 0;
        bool negativo = false;
        if (pos_ < s_.size() && s_[pos_] == '-' && pos_ + 1 < s_.size() && std::isdigit(uchar(s_[pos_ + 1]))) {
            negativo = true;
            ++pos_;
        }
        for (int cifre = 0; pos_ < s_.size() && std::isdigit(uchar(s_[pos_])); ++pos_, ++cifre) {
            conParametro = true;
            if (cifre < 10)
                parametro = parametro * 10 + (s_[pos_] - '0');
        }
        if (negativo)
            parametro = -parametro;
        if (pos_ < s_.size() && s_[pos_] == ' ')
            ++pos_;
        if (daSaltare_ > 0) {
            --daSaltare_;
            return;
        }
        parolaDiControllo(parola, conParametro, parametro);
    }

    void simbolo(char c)
    {
        switch (c) {
        case '\'': {
            if (pos_ + 2 > s_.size())
                return;
            bool ok = false;
            const int v = s_.mid(pos_, 2).toInt(&ok, 16);
            pos_ += 2;
            if (ok)
                byte(uchar(v));
            return;
        }
        case '\\': case '{': case '}':
            byte(uchar(c));
            return;
        case '~': carattere(u'\u00A0'); return;
        case '_': carattere(u'\u2011'); return;
        case '*':
            // An optional destination: skipped unless the next word is one we read.
            flush();
            if (stato_.destinazione != Destinazione::stili && stato_.destinazione != Destinazione::stile)
                stato_.destinazione = Destinazione::saltata;
            return;
        case '\r': case '\n': flush(); if (stato_.destinazione == Destinazione::testo) chiudiParagrafo(true); return;
        default: return; // \- optional hyphen, \: index entries
        }
    }

    // The style's run (and paragraph) properties, over what the state has:
    // those of the styles it is based on, then its own.
    void applicaStile(long long n, bool paragrafo)
    {
        QList<const Stile*> catena;
        for (int id = int(n); id >= 0 && catena.size() < 32;) {
            const auto it = stili_.constFind(id);
            if (it == stili_.cend())
                break;
            catena.prepend(&*it);
            id = it->basatoSu == id ? -1 : it->basatoSu;
        }
        if (catena.isEmpty())
            return;
        Stato r;
        for (const Stile* s : catena)
            sopra(r, *s);
        stato_.formato = r.formato;
        if (!paragrafo)
            return;
        stato_.allineamento = r.allineamento;
        stato_.titolo = r.titolo;
        stato_.rientro = r.rientro;
        stato_.primaRiga = r.primaRiga;
        stato_.spazioPrima = r.spazioPrima;
        stato_.spazioDopo = r.spazioDopo;
    }

    // Within the text: whether the group around this one is, so that a
    // destination read there (a field's result, a shape's text) is read.
    bool gruppoNelTesto() const { return !pila_.isEmpty() && pila_.last().destinazione == Destinazione::testo; }

    void parolaDiControllo(const QByteArray& p, bool conParametro, long long n)
    {
        flush();
        const bool acceso = !conParametro || n != 0;
        Tratto& f = stato_.formato;
        const bool nelTesto = stato_.destinazione == Destinazione::testo;
        const Destinazione d = stato_.destinazione;
        if (p == "stylesheet") {
            stato_.destinazione = Destinazione::stili;
        } else if ((p == "s" || p == "cs" || p == "ds" || p == "ts") && conParametro
                   && (d == Destinazione::stili || d == Destinazione::stile)) {
            idStile_ = int(qBound(0LL, n, kNumeroMassimo));
            impostati_ = 0;
            basatoSu_ = -1;
            stato_ = Stato{};
            stato_.destinazione = Destinazione::stile;
        } else if (p == "sbasedon" && conParametro && d == Destinazione::stile) {
            basatoSu_ = int(qBound(0LL, n, kNumeroMassimo));
        } else if (p == "colortbl") {
            stato_.destinazione = Destinazione::colori;
        } else if (d == Destinazione::colori) {
            if (conParametro && (p == "red" || p == "green" || p == "blue")) {
                const int spostamento = p == "red" ? 16 : p == "green" ? 8 : 0;
                const quint32 v = quint32(qBound(0LL, n, 255LL)) << spostamento;
                coloreInCorso_ = (coloreInCorso_.value_or(0) & ~(0xFFu << spostamento)) | v;
            }
        } else if (p == "fonttbl") {
            stato_.destinazione = Destinazione::caratteri;
        } else if (d == Destinazione::caratteri) {
            if (p == "f" && conParametro)
                stato_.carattere = int(qBound(0LL, n, kNumeroMassimo));
            else if (p == "fcharset" && conParametro && n == 2 && simboli_.size() < kNumeroMassimo)
                simboli_.insert(stato_.carattere);
        } else if (p == "field") {
            if (campi_.size() < 64)
                campi_.push_back({pila_.size(), {}, false});
        } else if (p == "fldinst") {
            stato_.destinazione = !campi_.isEmpty() && gruppoNelTesto() ? Destinazione::istruzione : Destinazione::saltata;
        } else if (p == "fldrslt") {
            if (!campi_.isEmpty())
                campi_.last().risultato = true;
            if (gruppoNelTesto())
                stato_.destinazione = Destinazione::testo;
        } else if (p == "shpinst" || p == "shptxt") {
            // A shape's text (a text box) is read where the shape stands, in
            // paragraphs of its own; its properties are not.
            if (gruppoNelTesto()) {
                stato_.destinazione = Destinazione::testo;
                if (p == "shptxt")
                    chiudiParagrafo(false);
            }
        } else if (p == "listtext" || p == "pntext") {
            // One marker a paragraph: writers give older readers a second copy.
            stato_.destinazione = segnoLetto_ || !nelTesto ? Destinazione::saltata : Destinazione::segno;
            segnoLetto_ = true;
        } else if (destinazioniSaltate().contains(p)) {
            stato_.destinazione = Destinazione::saltata;
        } else if (p == "par" || p == "sect" || p == "page" || p == "nestcell") {
            if (nelTesto)
                chiudiParagrafo(true);
        } else if (p == "cell") {
            if (nelTesto) {
                chiudiParagrafo(true);
                if (stato_.inTabella)
                    celle_.fineCella();
            }
        } else if (p == "row") {
            if (nelTesto) {
                chiudiParagrafo(false);
                celle_.fineRiga();
            }
        } else if (p == "line") {
            carattere(u'\u2028');
        } else if (p == "tab") {
            carattere(u'\t');
        } else if (p == "u" && conParametro) {
            const long long v = n < 0 ? n + 65536 : n;
            if (mostrato() || d == Destinazione::istruzione)
                testo(QString(QChar(char16_t(v & 0xFFFF))));
            daSaltare_ = stato_.uc;
        } else if (p == "uc" && conParametro) {
            stato_.uc = int(qBound(0LL, n, 8LL));
        } else if (p == "bin" && conParametro) {
            pos_ += qsizetype(qBound(0LL, n, (long long)(s_.size() - pos_)));
        } else if (p == "ansicpg" && conParametro) {
            QStringDecoder dec(QByteArray("windows-" + QByteArray::number(n)).constData());
            if (dec.isValid())
                decodifica_ = std::move(dec);
        } else if (p == "s" && conParametro) {
            applicaStile(n, true);
        } else if (p == "cs" && conParametro) {
            applicaStile(n, false);
        } else if (p == "f" && conParametro) {
            stato_.carattere = int(qBound(0LL, n, kNumeroMassimo));
        } else if (p == "b") {
            f.grassetto = acceso;
            impostati_ |= Bit::grassetto;
        } else if (p == "i") {
            f.corsivo = acceso;
            impostati_ |= Bit::corsivo;
        } else if (p == "ul" || p == "uld" || p == "uldb" || p == "ulw" || p == "uldash" || p == "ulwave" || p == "ulth") {
            f.sottolineato = acceso;
            impostati_ |= Bit::sottolineato;
        } else if (p == "ulnone") {
            f.sottolineato = false;
            impostati_ |= Bit::sottolineato;
        } else if (p == "strike" || p == "striked") {
            f.barrato = acceso;
            impostati_ |= Bit::barrato;
        } else if (p == "fs" && conParametro) {
            f.punti = n > 0 ? qMin(n, 3200LL) / 2.0 : 0;
            impostati_ |= Bit::punti;
        } else if (p == "cf" && conParametro) {
            f.colore = n >= 0 && n < colori_.size() ? colori_[qsizetype(n)] : std::nullopt;
            impostati_ |= Bit::colore;
        } else if (p == "plain") {
            f = Tratto{};
            stato_.nascosto = false;
            impostati_ |= Bit::carattere;
        } else if (p == "v" || p == "deleted") {
            stato_.nascosto = acceso;
        } else if (p == "pard") {
            stato_.allineamento = Allineamento::sinistra;
            stato_.titolo = 0;
            stato_.rientro = 0;
            stato_.primaRiga = 0;
            stato_.spazioPrima = 0;
            stato_.spazioDopo = 0;
            stato_.inTabella = false;
            impostati_ |= Bit::paragrafo;
        } else if (p == "intbl") {
            stato_.inTabella = true;
        } else if (p == "outlinelevel" && conParametro) {
            stato_.titolo = n >= 0 && n < TestoFormattato::kTitoloMassimo ? int(n) + 1 : 0;
            impostati_ |= Bit::titolo;
        } else if ((p == "li" || p == "lin") && conParametro) {
            stato_.rientro = n;
            impostati_ |= Bit::rientro;
        } else if (p == "sb" && conParametro) {
            stato_.spazioPrima = n;
            impostati_ |= Bit::spazioPrima;
        } else if (p == "sa" && conParametro) {
            stato_.spazioDopo = n;
            impostati_ |= Bit::spazioDopo;
        } else if (p == "fi" && conParametro) {
            stato_.primaRiga = n;
            impostati_ |= Bit::primaRiga;
        } else if (p == "ql") {
            stato_.allineamento = Allineamento::sinistra;
            impostati_ |= Bit::allineamento;
        } else if (p == "qc") {
            stato_.allineamento = Allineamento::centro;
            impostati_ |= Bit::allineamento;
        } else if (p == "qr") {
            stato_.allineamento = Allineamento::destra;
            impostati_ |= Bit::allineamento;
        } else if (p == "qj") {
            stato_.allineamento = Allineamento::giustificato;
            impostati_ |= Bit::allineamento;
        } else if (p == "emdash") {
            carattere(u'\u2014');
        } else if (p == "endash") {
            carattere(u'\u2013');
        } else if (p == "bullet") {
            carattere(u'\u2022');
        } else if (p == "lquote") {
            carattere(u'\u2018');
        } else if (p == "rquote") {
            carattere(u'\u2019');
        } else if (p == "ldblquote") {
            carattere(u'\u201C');
        } else if (p == "rdblquote") {
            carattere(u'\u201D');
        }
    }

    const QByteArray& s_;
    qsizetype pos_ = 0;
    Stato stato_;
    QList<Stato> pila_;
    QByteArray byte_;
    int daSaltare_ = 0;
    QStringDecoder decodifica_{"windows-1252"};
    TestoFormattato::Paragrafo corrente_;
    TestoFormattato doc_;
    QHash<int, Stile> stili_;
    int idStile_ = -1;
    // Of the style being defined.
    quint32 impostati_ = 0;
    int basatoSu_ = -1;
    QList<std::optional<quint32>> colori_;
    std::optional<quint32> coloreInCorso_;
    QSet<int> simboli_; // fonts of the symbol character set
    QList<Campo> campi_;
    bool segnoLetto_ = false;
    TestoFormattato::Celle celle_;
};

} // namespace

std::optional<TestoFormattato> LettoreRtf::leggi(const QByteArray& rtf)
{
    if (rtf.size() > kMassimoByte)
        return std::nullopt;
    return Lettore(rtf).leggi();
}
