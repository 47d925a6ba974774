// Another X client that owns the CLIPBOARD with a text, and with the
// password managers' hint when asked (--segreto), as KeePassXC does. It
// says "pronto" once it owns the selection and quits when it loses it.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList argomenti = app.arguments().mid(1);
    if (argomenti.isEmpty())
        return 2;
    auto* dati = new QMimeData;
    dati->setText(argomenti.first());
    if (argomenti.contains(QStringLiteral("--segreto")))
        dati->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QClipboard* c = QGuiApplication::clipboard();
    c->setMimeData(dati);
    QObject::connect(c, &QClipboard::dataChanged, &app, [c] {
        if (!c->ownsClipboard())
            QCoreApplication::quit();
    });
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    std::puts("pronto");
    std::fflush(stdout);
    return app.exec();
}
