#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the tray and the capture helper (halvora-cattura) agree on: the
// modes, the argument list, the exit statuses and the temporary name the
// picture is written under before it takes its own.
enum class ScreenshotMode : quint8 { area = 0, window = 1, fullScreen = 2 };

namespace ContrattoCattura {

// Exit statuses of the helper.
enum Esito { salvato = 0, annullato = 1, fallito = 2 };

struct Richiesta {
    ScreenshotMode modo = ScreenshotMode::fullScreen;
    QString percorso;
    // Windows of this process (the panel) are never picked; 0 for none.
    qint64 pidEscluso = 0;
    bool operator==(const Richiesta&) const = default;
};

// "-x" for the whole screen, "-i" for an area, "-i -W" for a window, then
// "--escludi <pid>" when a pid is given, then the path.
QStringList argomenti(const Richiesta& r);
// The request of an argument list; none when it is not one of ours.
std::optional<Richiesta> leggi(const QStringList& argomenti);

// Where the picture is written before the rename: a hidden file in the
// same folder, so the rename is atomic and the tray never lists it.
QString temporaneo(const QString& percorso);

} // namespace ContrattoCattura
