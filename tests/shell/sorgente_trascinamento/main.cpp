// Stands in for a file manager in the tests that drop files on the real
// application: `halvora_sorgente_trascinamento <file> <x> <y>` shows a small
// window there and prints "pronta"; a press on it drags the file, as a URL
// list, wherever the pointer takes it; at the end it prints "lasciato"
// when the drop was taken, "annullato" otherwise, and quits a few seconds
// later: the program that takes the drop reads the data after it.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class Sorgente : public QWidget {
public:
    explicit Sorgente(QString file) : file_(std::move(file)) { setStyleSheet(QStringLiteral("background: #f0c040")); }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* drag = new QDrag(this);
        auto* dati = new QMimeData;
        dati->setUrls({QUrl::fromLocalFile(file_)});
        drag->setMimeData(dati);
        const Qt::DropAction esito = drag->exec(Qt::CopyAction);
        std::puts(esito == Qt::IgnoreAction ? "annullato" : "lasciato");
        std::fflush(stdout);
        QTimer::singleShot(5000, qApp, &QApplication::quit);
    }

private:
    QString file_;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    Sorgente s(QString::fromLocal8Bit(argv[1]));
    s.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    s.setGeometry(QString::fromLatin1(argv[2]).toInt(), QString::fromLatin1(argv[3]).toInt(), 80, 80);
    s.show();
    QTimer::singleShot(300, [] {
        std::puts("pronta");
        std::fflush(stdout);
    });
    return app.exec();
}
