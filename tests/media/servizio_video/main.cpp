// The stand-in video service on its own, for running the application by
// hand: serves on 127.0.0.1 at the port given (or any) and prints its origin.
#include "ServizioVideoFinto.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ServizioVideoFinto servizio(argc > 1 ? quint16(QByteArray(argv[1]).toUInt()) : 0);
    if (!servizio.pronto())
        return 1;
    std::printf("%s\n", qPrintable(servizio.origine().toString()));
    std::fflush(stdout);
    return app.exec();
}
