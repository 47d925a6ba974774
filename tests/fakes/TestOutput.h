#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

// Where tests leave pictures for a reviewer: $HALVORA_TEST_OUTPUT, else
// a folder under the system's temporary folder.
inline QString cartellaOutputTest()
{
    QString c = qEnvironmentVariable("HALVORA_TEST_OUTPUT");
    if (c.isEmpty())
        c = QDir::temp().filePath(QStringLiteral("halvora-test-output"));
    QDir().mkpath(c);
    return c;
}

// Renders a widget to <output>/<nome>.png and returns the image.
inline QImage salvaRender(QWidget& w, const QString& nome)
{
    QImage img = w.grab().toImage();
    img.save(QDir(cartellaOutputTest()).filePath(nome + QStringLiteral(".png")));
    return img;
}
