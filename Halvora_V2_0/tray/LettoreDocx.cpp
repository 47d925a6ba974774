#include "LettoreDocx.h"

#include <QXmlStreamReader>

#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace {

using Tratto = TestoFormattato::Tratto;
using Allineamento = TestoFormattato::Allineamento;

// A package with more entries than this is not a document.
constexpr int kMassimoVoci = 20000;

bool nomeW(QXmlStreamReader& x, QLatin1StringView nome)
{
    // Transitional and strict documents name the same elements.
    const auto ns = x.namespaceUri();
    return x.name() == nome
        && (ns == QLatin1String("http://schemas.openxmlformats.org/wordprocessingml/2006/main")
            || ns == QLatin1String("http://purl.oclc.org/ooxml/wordprocessingml/main"));
}

QString valore(QXmlStreamReader& x)
{
    for (const auto& a : x.attributes())
        if (a.name() == QLatin1String("val"))
            return a.value().toString();
    return {};
}

// <w:b/>, <w:b w:val="true"/> and <w:b w:val="1"/> switch on; "0", "false", "off" off.
bool interruttore(QXmlStreamReader& x)
{
    const QString v = valore(x).toLower();
    return !(v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("off")
             || v == QLatin1String("none"));
}

} // namespace

std::optional<QByteArray> LettoreDocx::parte(const QByteArray& pacchetto, const QByteArray& nome, qsizetype massimo)
{
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    archive_read_support_format_zip(a.get());
    if (archive_read_open_memory(a.get(), pacchetto.constData(), size_t(pacchetto.size())) != ARCHIVE_OK)
        return std::nullopt;
    archive_entry* voce = nullptr;
    for (int n = 0; n < kMassimoVoci; ++n) {
        const int r = archive_read_next_header(a.get(), &voce);
        if (r != ARCHIVE_OK && r != ARCHIVE_WARN)
            return std::nullopt;
        const char* percorso = archive_entry_pathname(voce);
        if (!percorso || nome != percorso)
            continue;
        QByteArray dati;
        char blocco[65536];
        for (;;) {
            const la_ssize_t letti = archive_read_data(a.get(), blocco, sizeof blocco);
            if (letti < 0 || dati.size() + letti > massimo)
                return std::nullopt;
            if (letti == 0)
                return dati;
            dati.append(blocco, letti);
        }
    }
    return std::nullopt;
}

std::optional<TestoFormattato> LettoreDocx::leggi(const QByteArray& pacchetto)
{
    if (pacchetto.size() > kMassimoPacchetto)
        return std::nullopt;
    const auto xml = parte(pacchetto, "word/document.xml", kMassimoXml);
    if (!xml)
        return std::nullopt;
    return leggiXml(*xml);
}

std::optional<TestoFormattato> LettoreDocx::leggiXml(const QByteArray& xml)
{
    QXmlStreamReader x(xml);
    TestoFormattato doc;
    TestoFormattato::Paragrafo paragrafo;
    Tratto formato; // of the run being read
    bool inParagrafo = false;
    bool inCorpo = false;
    bool inProprietaRun = false;
    bool inProprietaParagrafo = false;
    bool cancellato = false; // tracked deletions are not part of the text
    int profonditaParagrafo = 0;

    const auto aggiungi = [&](const QString& t) {
        if (t.isEmpty() || !inParagrafo || cancellato)
            return;
        Tratto nuovo = formato;
        if (!paragrafo.tratti.isEmpty()) {
            Tratto& ultimo = paragrafo.tratti.last();
            nuovo.testo = ultimo.testo;
            if (nuovo == ultimo) {
                ultimo.testo += t;
                return;
            }
        }
        nuovo.testo = t;
        paragrafo.tratti.push_back(nuovo);
    };
    const auto chiudi = [&] {
        if (inParagrafo)
            doc.paragrafi.push_back(std::exchange(paragrafo, {}));
    };

    while (!x.atEnd()) {
        const auto t = x.readNext();
        if (t == QXmlStreamReader::StartElement) {
            if (nomeW(x, QLatin1String("body"))) {
                inCorpo = true;
            } else if (!inCorpo) {
                continue;
            } else if (nomeW(x, QLatin1String("p"))) {
                // A paragraph inside another (a text box) ends the outer one's text so far.
                if (profonditaParagrafo++ > 0)
                    chiudi();
                inParagrafo = true;
            } else if (nomeW(x, QLatin1String("r"))) {
                formato = Tratto{};
            } else if (nomeW(x, QLatin1String("rPr"))) {
                inProprietaRun = true;
            } else if (nomeW(x, QLatin1String("pPr"))) {
                inProprietaParagrafo = true;
            } else if (nomeW(x, QLatin1String("del"))) {
                cancellato = true;
            } else if (inProprietaParagrafo && nomeW(x, QLatin1String("jc"))) {
                const QString v = valore(x);
                paragrafo.allineamento = v == QLatin1String("center")                         ? Allineamento::centro
                    : v == QLatin1String("right") || v == QLatin1String("end")                ? Allineamento::destra
                    : v == QLatin1String("both") || v == QLatin1String("distribute")          ? Allineamento::giustificato
                                                                                              : Allineamento::sinistra;
            } else if (inProprietaRun && nomeW(x, QLatin1String("b"))) {
                formato.grassetto = interruttore(x);
            } else if (inProprietaRun && nomeW(x, QLatin1String("i"))) {
                formato.corsivo = interruttore(x);
            } else if (inProprietaRun && nomeW(x, QLatin1String("u"))) {
                formato.sottolineato = interruttore(x);
            } else if (inProprietaRun && (nomeW(x, QLatin1String("strike")) || nomeW(x, QLatin1String("dstrike")))) {
                formato.barrato = interruttore(x);
            } else if (inProprietaRun && nomeW(x, QLatin1String("sz"))) {
                const int mezzi = valore(x).toInt();
                formato.punti = mezzi > 0 ? qMin(mezzi, 3200) / 2.0 : 0;
            } else if (nomeW(x, QLatin1String("t"))) {
                // A line feed inside a text element is a space, as Word shows it; breaks are <w:br/>.
                aggiungi(x.readElementText(QXmlStreamReader::IncludeChildElements).replace(QLatin1Char('\n'), QLatin1Char(' ')));
            } else if (nomeW(x, QLatin1String("tab"))) {
                if (!inProprietaRun && !inProprietaParagrafo)
                    aggiungi(QStringLiteral("\t"));
            } else if (nomeW(x, QLatin1String("br")) || nomeW(x, QLatin1String("cr"))) {
                aggiungi(QString(QChar(u'\u2028')));
            } else if (nomeW(x, QLatin1String("noBreakHyphen"))) {
                aggiungi(QString(QChar(u'\u2011')));
            }
        } else if (t == QXmlStreamReader::EndElement && inCorpo) {
            if (nomeW(x, QLatin1String("body"))) {
                inCorpo = false;
            } else if (nomeW(x, QLatin1String("p"))) {
                chiudi();
                inParagrafo = --profonditaParagrafo > 0;
            } else if (nomeW(x, QLatin1String("rPr"))) {
                inProprietaRun = false;
            } else if (nomeW(x, QLatin1String("pPr"))) {
                inProprietaParagrafo = false;
            } else if (nomeW(x, QLatin1String("del"))) {
                cancellato = false;
            }
        }
    }
    if (x.hasError())
        return std::nullopt;
    return doc;
}
