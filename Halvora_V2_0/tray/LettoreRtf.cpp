#include "LettoreRtf.h"

#include <QSet>
#include <cctype>
#include <utility>
#include <QStringDecoder>
#include <QVarLengthArray>

namespace {

using Tratto = TestoFormattato::Tratto;
using Allineamento = TestoFormattato::Allineamento;

// Destinations whose text is not part of the document body.
const QSet<QByteArray>& destinazioniSaltate()
{
    static const QSet<QByteArray> s{
        "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header", "headerl", "headerr",
        "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "fldinst", "xe", "tc", "txe",
        "listtable", "listoverridetable", "revtbl", "rsidtbl", "generator", "themedata",
        "colorschememapping", "datastore", "latentstyles", "filetbl", "pgdsctbl", "nonshppict",
        "shppict", "bkmkstart", "bkmkend", "userprops", "xmlnstbl", "mmathPr", "wgrffmtfilter",
        "fchars", "lchars", "pntext", "pntxta", "pntxtb", "template"};
    return s;
}

struct Stato {
    Tratto formato;
    Allineamento allineamento = Allineamento::sinistra;
    int uc = 1;          // characters that stand in for each \u
    bool salta = false;  // inside a destination that is not shown
};

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
    void byte(uchar b)
    {
        if (!stato_.salta)
            byte_.append(char(b));
    }

    void testo(const QString& t)
    {
        flush();
        if (stato_.salta || t.isEmpty())
            return;
        if (!corrente_.tratti.isEmpty()) {
            Tratto& ultimo = corrente_.tratti.last();
            Tratto prova = stato_.formato;
            prova.testo = ultimo.testo;
            if (prova == ultimo) {
                ultimo.testo += t;
                return;
            }
        }
        Tratto nuovo = stato_.formato;
        nuovo.testo = t;
        corrente_.tratti.push_back(nuovo);
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
        corrente_.allineamento = stato_.allineamento;
        doc_.paragrafi.push_back(std::exchange(corrente_, {}));
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
        case '*': flush(); stato_.salta = true; return; // an optional destination we do not know
        case '\r': case '\n': flush(); if (!stato_.salta) chiudiParagrafo(true); return;
        default: return; // \- optional hyphen, \: index entries
        }
    }

    void parolaDiControllo(const QByteArray& p, bool conParametro, long long n)
    {
        flush();
        const bool acceso = !conParametro || n != 0;
        Tratto& f = stato_.formato;
        if (destinazioniSaltate().contains(p)) {
            stato_.salta = true;
        } else if (p == "par" || p == "sect" || p == "page") {
            if (!stato_.salta)
                chiudiParagrafo(true);
        } else if (p == "line") {
            carattere(u'\u2028');
        } else if (p == "tab") {
            carattere(u'\t');
        } else if (p == "cell" || p == "row") {
            if (!stato_.salta)
                chiudiParagrafo(false);
        } else if (p == "u" && conParametro) {
            if (stato_.salta)
                return;
            const long long v = n < 0 ? n + 65536 : n;
            testo(QString(QChar(char16_t(v & 0xFFFF))));
            daSaltare_ = stato_.uc;
        } else if (p == "uc" && conParametro) {
            stato_.uc = int(qBound(0LL, n, 8LL));
        } else if (p == "bin" && conParametro) {
            pos_ += qsizetype(qBound(0LL, n, (long long)(s_.size() - pos_)));
        } else if (p == "ansicpg" && conParametro) {
            QStringDecoder d(QByteArray("windows-" + QByteArray::number(n)).constData());
            if (d.isValid())
                decodifica_ = std::move(d);
        } else if (p == "b") {
            f.grassetto = acceso;
        } else if (p == "i") {
            f.corsivo = acceso;
        } else if (p == "ul" || p == "uld" || p == "uldb" || p == "ulw") {
            f.sottolineato = acceso;
        } else if (p == "ulnone") {
            f.sottolineato = false;
        } else if (p == "strike" || p == "striked") {
            f.barrato = acceso;
        } else if (p == "fs" && conParametro) {
            f.punti = n > 0 ? qMin(n, 3200LL) / 2.0 : 0;
        } else if (p == "plain") {
            f = Tratto{};
        } else if (p == "pard") {
            stato_.allineamento = Allineamento::sinistra;
        } else if (p == "ql") {
            stato_.allineamento = Allineamento::sinistra;
        } else if (p == "qc") {
            stato_.allineamento = Allineamento::centro;
        } else if (p == "qr") {
            stato_.allineamento = Allineamento::destra;
        } else if (p == "qj") {
            stato_.allineamento = Allineamento::giustificato;
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
};

} // namespace

std::optional<TestoFormattato> LettoreRtf::leggi(const QByteArray& rtf)
{
    if (rtf.size() > kMassimoByte)
        return std::nullopt;
    return Lettore(rtf).leggi();
}
