#include "MenuConversione.h"

#include <QTest>

using Op = OperazioneVassoio;

namespace {

QList<QUrl> file(int n, const char* estensione)
{
    QList<QUrl> l;
    for (int i = 0; i < n; ++i)
        l << QUrl::fromLocalFile(QStringLiteral("/t/%1%2.%3").arg(QLatin1String(estensione)).arg(i).arg(QLatin1String(estensione)));
    return l;
}

// Sections as "Title: entry | entry", the counts filled in.
QStringList testo(const QList<MenuConversione::Sezione>& menu)
{
    QStringList righe;
    for (const auto& s : menu) {
        QStringList voci;
        for (const auto& v : s.voci)
            voci << v.etichetta;
        righe << s.titolo + QStringLiteral(": ") + voci.join(QStringLiteral(" | "));
    }
    return righe;
}

} // namespace

class TestMenuConversione : public QObject {
    Q_OBJECT
private slots:
    void sectionsFollowTheFilesOfEachKind_data()
    {
        QTest::addColumn<int>("immagini");
        QTest::addColumn<int>("pdf");
        QTest::addColumn<int>("documenti");
        QTest::addColumn<int>("altri");
        QTest::addColumn<QStringList>("atteso");
        QTest::newRow("one PDF: no merge") << 0 << 1 << 0 << 0
                                           << QStringList{"Archivio: Comprimi 1 file in ZIP",
                                                          "PDF: Estrai il testo in Word | Esporta le pagine come immagini"};
        QTest::newRow("two PDFs: merge first")
            << 0 << 2 << 0 << 1
            << QStringList{"Archivio: Comprimi 3 file in ZIP",
                           "PDF: Unisci 2 PDF in un documento | Estrai il testo in Word | Esporta le pagine come immagini"};
        QTest::newRow("an image and a text, plural for one")
            << 1 << 0 << 1 << 0
            << QStringList{"Archivio: Comprimi 2 file in ZIP",
                           "Immagini: Converti 1 immagini in JPEG | Converti 1 immagini in PNG | Dimezza 1 immagini | "
                           "Riunisci 1 immagini in un PDF | Estrai il testo da 1 immagini",
                           "Documenti: Converti 1 documenti in PDF"};
        QTest::newRow("other files only") << 0 << 0 << 0 << 2 << QStringList{"Archivio: Comprimi 2 file in ZIP"};
    }
    void sectionsFollowTheFilesOfEachKind()
    {
        QFETCH(int, immagini);
        QFETCH(int, pdf);
        QFETCH(int, documenti);
        QFETCH(int, altri);
        QFETCH(QStringList, atteso);
        MenuConversione::Liste l;
        l.immagini = file(immagini, "png");
        l.pdf = file(pdf, "pdf");
        l.documenti = file(documenti, "txt");
        l.file = l.immagini + l.pdf + l.documenti + file(altri, "bin");
        const auto menu = MenuConversione::sezioni(l);
        QCOMPARE(testo(menu), atteso);
        // Each entry hands its operation the list it counts, the re-encodings every file.
        for (const auto& s : menu)
            for (const auto& v : s.voci) {
                const QList<QUrl> attesi = v.operazione == Op::creaArchivio || v.operazione == Op::converti ? l.file
                                           : v.operazione == Op::documentiInPDF                           ? l.documenti
                                           : s.titolo == QLatin1String("PDF")                             ? l.pdf
                                                                                                          : l.immagini;
                QCOMPARE(v.file, attesi);
            }
        if (immagini > 0) {
            const auto& voci = menu[1].voci;
            QCOMPARE(voci[0].conversione, Conversione::jpeg(0.8));
            QCOMPARE(voci[1].conversione, Conversione::png());
            QCOMPARE(voci[2].conversione, Conversione::ridimensiona(0.5));
        }
    }

    void resultTitles_data()
    {
        QTest::addColumn<int>("operazione");
        QTest::addColumn<int>("file");
        QTest::addColumn<bool>("testo");
        QTest::addColumn<QString>("atteso"); // empty: no notice
        QTest::newRow("one image") << int(Op::converti) << 1 << false << "Immagine convertita";
        QTest::newRow("three images") << int(Op::converti) << 3 << false << "3 immagini convertite";
        QTest::newRow("no image") << int(Op::converti) << 0 << false << "";
        QTest::newRow("images to PDF") << int(Op::immaginiInPDF) << 1 << false << "PDF creato";
        QTest::newRow("merge") << int(Op::unisciPDF) << 1 << false << "PDF uniti";
        QTest::newRow("merge failed") << int(Op::unisciPDF) << 0 << false << "";
        QTest::newRow("one Word") << int(Op::pdfInWord) << 1 << false << "Testo estratto in Word";
        QTest::newRow("two Word") << int(Op::pdfInWord) << 2 << false << "2 documenti estratti";
        QTest::newRow("one page") << int(Op::pdfInImmagini) << 1 << false << "1 pagine esportate";
        QTest::newRow("pages") << int(Op::pdfInImmagini) << 4 << false << "4 pagine esportate";
        QTest::newRow("one document") << int(Op::documentiInPDF) << 1 << false << "Documento convertito";
        QTest::newRow("documents") << int(Op::documentiInPDF) << 2 << false << "2 documenti convertiti";
        QTest::newRow("archive") << int(Op::creaArchivio) << 1 << false << "Archivio creato";
        QTest::newRow("text with files") << int(Op::estraiTesto) << 2 << true << "Testo estratto e copiato";
        QTest::newRow("text, no file") << int(Op::estraiTesto) << 0 << true << "";
        QTest::newRow("nothing found") << int(Op::estraiTesto) << 0 << false << "";
    }
    void resultTitles()
    {
        QFETCH(int, operazione);
        QFETCH(int, file);
        QFETCH(bool, testo);
        QFETCH(QString, atteso);
        QCOMPARE(MenuConversione::titoloEsito(Op(operazione), file, testo).value_or(QString()), atteso);
    }
};

QTEST_GUILESS_MAIN(TestMenuConversione)
#include "tst_MenuConversione.moc"
