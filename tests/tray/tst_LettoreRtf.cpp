#include "LettoreRtf.h"

#include <QTest>

using Tratto = TestoFormattato::Tratto;

class TestLettoreRtf : public QObject {
    Q_OBJECT

private slots:
    void testo_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("atteso"); // "-" for nothing
        QTest::newRow("paragraphs") << QByteArray("{\\rtf1\\ansi Ciao mondo\\par Seconda\\par}") << "Ciao mondo\nSeconda";
        QTest::newRow("header tables") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}"
                                                     "{\\*\\generator Qualcosa;}{\\info{\\title T}}Testo}")
                                       << "Testo";
        QTest::newRow("escapes") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caff\\'e8 costa 2\\u8364?. \\{x\\}\\\\}")
                                 << QString::fromUtf8("caffè costa 2€. {x}\\");
        QTest::newRow("uc2 skips escapes") << QByteArray("{\\rtf1\\uc2\\u8364\\'80\\'80 fine}") << QString::fromUtf8("€ fine");
        QTest::newRow("negative \\u") << QByteArray("{\\rtf1\\u-3913?}") << QString(QChar(0xF0B7));
        QTest::newRow("code page 1251") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}") << QString::fromUtf8("При");
        QTest::newRow("picture and binary") << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e47}{\\*\\blob\\bin3 }}}}b}") << "ab";
        QTest::newRow("field result") << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt Link}}}") << "Link";
        QTest::newRow("line and tab") << QByteArray("{\\rtf1 a\\tab b\\line c}") << QString("a\tb") + QChar(0x2028) + "c";
        QTest::newRow("list marker, once, without the spaces before it")
            << QByteArray("{\\rtf1 {\\listtext\\pard\\plain  2.\\tab}{\\*\\pntext 2.\\tab}Secondo\\par}") << "2.\tSecondo";
        QTest::newRow("unclosed") << QByteArray("{\\rtf1 testo") << "testo";
        QTest::newRow("leading spaces") << QByteArray("\n {\\rtf1 x}") << "x";
        QTest::newRow("not rtf") << QByteArray("Ciao {\\rtf1 x}") << "-";
        QTest::newRow("empty") << QByteArray() << "-";
        QTest::newRow("too deep") << QByteArray("{\\rtf1 ") + QByteArray(LettoreRtf::kProfonditaMassima, '{') + "x" << "-";
    }
    void testo()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, atteso);
        const auto doc = LettoreRtf::leggi(rtf);
        QCOMPARE(doc ? doc->testoSemplice() : QStringLiteral("-"), atteso);
    }

    void formati()
    {
        const auto doc = LettoreRtf::leggi(
            "{\\rtf1\\qc{\\b grassetto}\\i corsivo\\i0\\fs48 grande\\par\\pard\\ul sotto\\ulnone\\strike  via\\plain  niente}");
        QVERIFY(doc);
        QCOMPARE(doc->paragrafi.size(), 2);
        QCOMPARE(doc->paragrafi[0].allineamento, TestoFormattato::Allineamento::centro);
        QCOMPARE(doc->paragrafi[0].tratti,
                 (QList<Tratto>{{QStringLiteral("grassetto"), true}, {QStringLiteral("corsivo"), false, true},
                                {QStringLiteral("grande"), false, false, false, false, 24}}));
        QCOMPARE(doc->paragrafi[1].allineamento, TestoFormattato::Allineamento::sinistra);
        QCOMPARE(doc->paragrafi[1].tratti,
                 (QList<Tratto>{{QStringLiteral("sotto"), false, false, true, false, 24},
                                {QStringLiteral(" via"), false, false, false, true, 24},
                                {QStringLiteral(" niente")}}));
    }

    // As Word writes it: a style's formatting before the style it is based
    // on, colours by table, a table of cells and rows, a button field's own
    // text, a shape's text once (its picture fallback left out).
    void comeLoScriveWord()
    {
        const auto doc = LettoreRtf::leggi(
            "{\\rtf1{\\colortbl;\\red192\\green0\\blue0;}"
            "{\\stylesheet{\\s0\\fs20 Normal;}{\\s1\\b\\outlinelevel0\\sbasedon0 heading 1;}}"
            "\\pard\\plain\\s1 Titolo\\par\\pard\\plain\\s0 {\\cf1 rosso}\\par"
            "\\trowd\\cellx100\\cellx200\\pard\\intbl a\\cell b\\cell\\row\\trowd\\pard\\intbl c\\cell\\cell\\row"
            "\\pard {\\field{\\*\\fldinst MACROBUTTON None Nome}}"
            "{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}{\\shptxt casella\\par}}{\\shprslt casella}}\\par}");
        QVERIFY(doc);
        QCOMPARE(doc->testoSemplice(), QStringLiteral("Titolo\nrosso\na\nb\nc\n\nNome\ncasella\n"));
        const auto& p = doc->paragrafi;
        QCOMPARE(p[0].titolo, 1);
        QCOMPARE(p[0].tratti[0], (Tratto{QStringLiteral("Titolo"), true, false, false, false, 10}));
        QCOMPARE(p[1].tratti[0].colore, std::optional<quint32>(0xC00000));
        QCOMPARE(p[2].cella, (TestoFormattato::Cella{0, 0, 0}));
        QCOMPARE(p[3].cella, (TestoFormattato::Cella{0, 0, 1}));
        QCOMPARE(p[5].cella, (TestoFormattato::Cella{0, 1, 1}));
        QVERIFY(!p[6].cella);
    }

    void limite()
    {
        QByteArray grande("{\\rtf1 ");
        grande.append(LettoreRtf::kMassimoByte, 'a');
        QVERIFY(!LettoreRtf::leggi(grande));
    }
};

QTEST_APPLESS_MAIN(TestLettoreRtf)
#include "tst_LettoreRtf.moc"
