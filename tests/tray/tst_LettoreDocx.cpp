#include "DocumentoWord.h"
#include "LettoreDocx.h"

#include <QTest>

#include <archive.h>
#include <archive_entry.h>
#include <memory>

using Tratto = TestoFormattato::Tratto;
using Paragrafo = TestoFormattato::Paragrafo;

namespace {

la_ssize_t accoda(archive*, void* dati, const void* b, size_t n)
{
    static_cast<QByteArray*>(dati)->append(static_cast<const char*>(b), qsizetype(n));
    return la_ssize_t(n);
}

QByteArray zip(const QList<std::pair<QByteArray, QByteArray>>& parti)
{
    QByteArray uscita;
    std::unique_ptr<archive, decltype(&archive_write_free)> a(archive_write_new(), archive_write_free);
    archive_write_set_format_zip(a.get());
    archive_write_open(a.get(), &uscita, nullptr, accoda, nullptr);
    for (const auto& [nome, dati] : parti) {
        std::unique_ptr<archive_entry, decltype(&archive_entry_free)> e(archive_entry_new(), archive_entry_free);
        archive_entry_set_pathname(e.get(), nome.constData());
        archive_entry_set_filetype(e.get(), AE_IFREG);
        archive_entry_set_size(e.get(), dati.size());
        archive_write_header(a.get(), e.get());
        archive_write_data(a.get(), dati.constData(), size_t(dati.size()));
    }
    archive_write_close(a.get());
    return uscita;
}

QStringList nomi(const QByteArray& pacchetto)
{
    QStringList r;
    std::unique_ptr<archive, decltype(&archive_read_free)> a(archive_read_new(), archive_read_free);
    archive_read_support_format_zip(a.get());
    archive_read_open_memory(a.get(), pacchetto.constData(), size_t(pacchetto.size()));
    archive_entry* e = nullptr;
    while (archive_read_next_header(a.get(), &e) == ARCHIVE_OK)
        r << QString::fromUtf8(archive_entry_pathname(e));
    return r;
}

QByteArray corpo(const QByteArray& dentro)
{
    return "<?xml version=\"1.0\"?><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
           "<w:body>" + dentro + "</w:body></w:document>";
}

} // namespace

class TestLettoreDocx : public QObject {
    Q_OBJECT

private slots:
    // What we write is a package with its three parts that reads back as written.
    void andataERitorno()
    {
        TestoFormattato t;
        t.paragrafi << Paragrafo{{{QStringLiteral("Riga uno"), true}, {QStringLiteral(" e normale  ")}},
                                 TestoFormattato::Allineamento::centro};
        t.paragrafi << Paragrafo{};
        t.paragrafi << Paragrafo{{{QString("tab\tqui") + QChar(0x2028) + QStringLiteral("à capo"), false, true, true, true, 14, 0xC00000}}};
        // A heading, an indented hanging paragraph with its spaces, a table of two rows.
        t.paragrafi << Paragrafo{{{QStringLiteral("Titolo"), true}}, TestoFormattato::Allineamento::sinistra, 2};
        t.paragrafi << Paragrafo{{{QStringLiteral("\u2022\tvoce")}}, TestoFormattato::Allineamento::sinistra, 0, 36, -18, 6, 12};
        for (const auto& [r, c] : {std::pair(0, 0), std::pair(0, 1), std::pair(0, 1), std::pair(1, 0)})
            t.paragrafi << Paragrafo{{{QStringLiteral("cella")}}, {}, 0, 0, 0, 0, 0, TestoFormattato::Cella{0, r, c}};
        const QByteArray p = DocumentoWord::pacchetto(t);
        QCOMPARE(nomi(p), (QStringList{"[Content_Types].xml", "_rels/.rels", "word/document.xml"}));
        const auto letto = LettoreDocx::leggi(p);
        QVERIFY(letto);
        QCOMPARE(letto->paragrafi, t.paragrafi);
    }

    // Characters XML cannot carry are dropped rather than making the part unreadable.
    void caratteriDiControllo()
    {
        TestoFormattato t;
        t.paragrafi << Paragrafo{{{QString("a") + QChar(1) + "b" + QChar(0xD800) + "c" + QChar(0xFFFF)}}};
        const auto letto = LettoreDocx::leggi(DocumentoWord::pacchetto(t));
        QVERIFY(letto);
        QCOMPARE(letto->testoSemplice(), QStringLiteral("abc"));
    }

    // As word processors write it: line feeds in text, deletions, tab stops, switched-off bold, sizes, nested text boxes.
    void comeLoScriveWord()
    {
        const auto doc = LettoreDocx::leggiXml(corpo(
            "<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs><w:jc w:val=\"right\"/></w:pPr>"
            "<w:r><w:rPr><w:b w:val=\"0\"/><w:sz w:val=\"28\"/></w:rPr><w:t xml:space=\"preserve\">Tenuto\n</w:t></w:r>"
            "<w:del><w:r><w:delText>tolto</w:delText><w:t>tolto</w:t></w:r></w:del>"
            "<w:r><w:rPr><w:b/></w:rPr><w:t>forte</w:t></w:r></w:p>"
            "<w:tbl><w:tblPr><w:jc w:val=\"center\"/></w:tblPr><w:tr><w:tc><w:p><w:r><w:t>cella</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
            "<w:p><w:r><w:t>fuori</w:t></w:r><w:r><w:txbxContent><w:p><w:r><w:t>dentro</w:t></w:r></w:p></w:txbxContent></w:r>"
            "<w:r><w:t>dopo</w:t></w:r></w:p>"));
        QVERIFY(doc);
        QCOMPARE(doc->testoSemplice(), QStringLiteral("Tenuto forte\ncella\nfuori\ndentro\ndopo"));
        QCOMPARE(doc->paragrafi[0].allineamento, TestoFormattato::Allineamento::destra);
        QCOMPARE(doc->paragrafi[0].tratti,
                 (QList<Tratto>{{QStringLiteral("Tenuto "), false, false, false, false, 14}, {QStringLiteral("forte"), true}}));
        QCOMPARE(doc->paragrafi[1].allineamento, TestoFormattato::Allineamento::sinistra);
    }

    void scartati_data()
    {
        QTest::addColumn<QByteArray>("pacchetto");
        QTest::newRow("not a zip") << QByteArray("PK\x03\x04 non proprio uno zip");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("no document part") << zip({{"word/altro.xml", corpo("<w:p/>")}});
        QTest::newRow("malformed xml") << zip({{"word/document.xml", corpo("<w:p><w:r>").chopped(10)}});
        QTest::newRow("truncated zip") << zip({{"word/document.xml", corpo(QByteArray(5000, 'x'))}}).left(200);
    }
    void scartati()
    {
        QFETCH(QByteArray, pacchetto);
        QVERIFY(!LettoreDocx::leggi(pacchetto));
    }

    // A part is read up to its cap and no further.
    void limiteDecompresso()
    {
        const QByteArray p = zip({{"word/document.xml", QByteArray(100000, ' ')}});
        QVERIFY(!LettoreDocx::parte(p, "word/document.xml", 99999));
        QCOMPARE(LettoreDocx::parte(p, "word/document.xml", 100000)->size(), 100000);
    }
};

QTEST_APPLESS_MAIN(TestLettoreDocx)
#include "tst_LettoreDocx.moc"
