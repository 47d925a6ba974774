#include "DocumentoWord.h"

#include <QXmlStreamWriter>

#include <archive.h>
#include <archive_entry.h>
#include <memory>
#include <optional>

namespace {

const char kTipi[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";

const char kRelazioni[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/>"
    "</Relationships>";

const QString kW = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");

// XML 1.0 cannot carry most control characters, nor lone surrogates.
QString ripulito(const QString& s)
{
    QString r;
    r.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) {
            r += c;
            r += s[++i];
        } else if (!c.isSurrogate() && (c.unicode() >= 0x20 || c == u'\t') && c.unicode() != 0xFFFE
                   && c.unicode() != 0xFFFF) {
            r += c;
        }
    }
    return r;
}

void vuoto(QXmlStreamWriter& x, const QString& nome, const QString& val = {})
{
    x.writeEmptyElement(kW, nome);
    if (!val.isNull())
        x.writeAttribute(kW, QStringLiteral("val"), val);
}

void scriviTratto(QXmlStreamWriter& x, const TestoFormattato::Tratto& t)
{
    x.writeStartElement(kW, QStringLiteral("r"));
    if (t.grassetto || t.corsivo || t.sottolineato || t.barrato || t.punti > 0 || t.colore) {
        // In the order the schema gives the run properties.
        x.writeStartElement(kW, QStringLiteral("rPr"));
        if (t.grassetto)
            vuoto(x, QStringLiteral("b"));
        if (t.corsivo)
            vuoto(x, QStringLiteral("i"));
        if (t.barrato)
            vuoto(x, QStringLiteral("strike"));
        if (t.colore)
            vuoto(x, QStringLiteral("color"), QStringLiteral("%1").arg(*t.colore & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper());
        if (t.punti > 0)
            vuoto(x, QStringLiteral("sz"), QString::number(qRound(t.punti * 2)));
        if (t.sottolineato)
            vuoto(x, QStringLiteral("u"), QStringLiteral("single"));
        x.writeEndElement();
    }
    // Tabs and line breaks are elements of their own between text pieces.
    QString pezzo;
    const auto scriviPezzo = [&] {
        if (pezzo.isEmpty())
            return;
        x.writeStartElement(kW, QStringLiteral("t"));
        x.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        x.writeCharacters(pezzo);
        x.writeEndElement();
        pezzo.clear();
    };
    for (const QChar c : ripulito(t.testo)) {
        if (c == u'\t' || c == u'\u2028') {
            scriviPezzo();
            vuoto(x, c == u'\t' ? QStringLiteral("tab") : QStringLiteral("br"));
        } else {
            pezzo += c;
        }
    }
    scriviPezzo();
    x.writeEndElement();
}

void scriviParagrafo(QXmlStreamWriter& x, const TestoFormattato::Paragrafo& p)
{
    x.writeStartElement(kW, QStringLiteral("p"));
    const bool rientrato = qRound(p.rientro * 20) != 0 || qRound(p.primaRiga * 20) != 0;
    const bool spaziato = qRound(p.spazioPrima * 20) != 0 || qRound(p.spazioDopo * 20) != 0;
    if (p.allineamento != TestoFormattato::Allineamento::sinistra || p.titolo > 0 || rientrato || spaziato) {
        x.writeStartElement(kW, QStringLiteral("pPr"));
        if (spaziato) {
            x.writeEmptyElement(kW, QStringLiteral("spacing"));
            x.writeAttribute(kW, QStringLiteral("before"), QString::number(qRound(p.spazioPrima * 20)));
            x.writeAttribute(kW, QStringLiteral("after"), QString::number(qRound(p.spazioDopo * 20)));
        }
        if (rientrato) {
            x.writeEmptyElement(kW, QStringLiteral("ind"));
            x.writeAttribute(kW, QStringLiteral("left"), QString::number(qRound(p.rientro * 20)));
            const int primaRiga = qRound(p.primaRiga * 20);
            if (primaRiga != 0)
                x.writeAttribute(kW, primaRiga < 0 ? QStringLiteral("hanging") : QStringLiteral("firstLine"),
                                 QString::number(qAbs(primaRiga)));
        }
        using A = TestoFormattato::Allineamento;
        if (p.allineamento != A::sinistra)
            vuoto(x, QStringLiteral("jc"),
                  p.allineamento == A::centro ? QStringLiteral("center")
                  : p.allineamento == A::destra ? QStringLiteral("right")
                                                : QStringLiteral("both"));
        if (p.titolo > 0)
            vuoto(x, QStringLiteral("outlineLvl"), QString::number(p.titolo - 1));
        x.writeEndElement();
    }
    for (const auto& t : p.tratti)
        scriviTratto(x, t);
    x.writeEndElement();
}

la_ssize_t accoda(archive*, void* dati, const void* buffer, size_t n)
{
    static_cast<QByteArray*>(dati)->append(static_cast<const char*>(buffer), qsizetype(n));
    return la_ssize_t(n);
}

} // namespace

QByteArray DocumentoWord::documentXml(const TestoFormattato& testo)
{
    QByteArray xml;
    QXmlStreamWriter x(&xml);
    x.writeStartDocument(QStringLiteral("1.0"), true);
    x.writeNamespace(kW, QStringLiteral("w"));
    x.writeStartElement(kW, QStringLiteral("document"));
    x.writeStartElement(kW, QStringLiteral("body"));
    // The table, row and cell elements open around the paragraphs of a cell.
    std::optional<TestoFormattato::Cella> aperta;
    const auto apri = [&](const char* nome) { x.writeStartElement(kW, QLatin1String(nome)); };
    const auto chiudi = [&](int quanti) {
        for (int i = 0; i < quanti; ++i)
            x.writeEndElement();
    };
    for (const auto& p : testo.paragrafi) {
        if (aperta && (!p.cella || p.cella->tabella != aperta->tabella)) {
            chiudi(3); // tc, tr, tbl
            aperta.reset();
        }
        if (p.cella) {
            if (!aperta) {
                apri("tbl");
                apri("tblPr");
                x.writeEmptyElement(kW, QStringLiteral("tblW"));
                x.writeAttribute(kW, QStringLiteral("w"), QStringLiteral("0"));
                x.writeAttribute(kW, QStringLiteral("type"), QStringLiteral("auto"));
                chiudi(1);
                apri("tr");
                apri("tc");
            } else if (p.cella->riga != aperta->riga) {
                chiudi(2);
                apri("tr");
                apri("tc");
            } else if (p.cella->colonna != aperta->colonna) {
                chiudi(1);
                apri("tc");
            }
            aperta = p.cella;
        }
        scriviParagrafo(x, p);
    }
    if (aperta)
        chiudi(3);
    x.writeEndElement();
    x.writeEndElement();
    x.writeEndDocument();
    return xml;
}

QByteArray DocumentoWord::pacchetto(const TestoFormattato& testo)
{
    QByteArray zip;
    std::unique_ptr<archive, decltype(&archive_write_free)> a(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(a.get());
    // No padding after the central directory: some readers look for it at the very end.
    archive_write_set_bytes_in_last_block(a.get(), 1);
    if (archive_write_open(a.get(), &zip, nullptr, accoda, nullptr) != ARCHIVE_OK)
        return {};
    const QByteArray documento = documentXml(testo);
    const std::pair<const char*, QByteArray> parti[] = {
        {"[Content_Types].xml", QByteArray(kTipi)},
        {"_rels/.rels", QByteArray(kRelazioni)},
        {"word/document.xml", documento},
    };
    std::unique_ptr<archive_entry, decltype(&archive_entry_free)> voce(archive_entry_new(), archive_entry_free);
    for (const auto& [nome, dati] : parti) {
        archive_entry_clear(voce.get());
        archive_entry_set_pathname(voce.get(), nome);
        archive_entry_set_filetype(voce.get(), AE_IFREG);
        archive_entry_set_perm(voce.get(), 0644);
        archive_entry_set_size(voce.get(), dati.size());
        if (archive_write_header(a.get(), voce.get()) != ARCHIVE_OK
            || archive_write_data(a.get(), dati.constData(), size_t(dati.size())) != la_ssize_t(dati.size()))
            return {};
    }
    if (archive_write_close(a.get()) != ARCHIVE_OK)
        return {};
    return zip;
}
