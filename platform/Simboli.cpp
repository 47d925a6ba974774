#include "Simboli.h"

#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QStandardPaths>

namespace {

// Symbol name → freedesktop icon name (Adwaita ships all of these).
const QHash<QString, QString>& tabella()
{
    static const QHash<QString, QString> t = {
        {"applelogo", "computer-symbolic"},
        {"arrow.2.squarepath", "media-playlist-repeat-symbolic"},
        {"arrow.counterclockwise", "edit-undo-symbolic"},
        {"arrow.down.app.fill", "software-update-available-symbolic"},
        {"arrow.down.circle.fill", "folder-download-symbolic"},
        {"arrow.up.forward.app", "send-to-symbolic"},
        {"arrow.up.left.and.arrow.down.right", "view-fullscreen-symbolic"},
        {"backward.fill", "media-skip-backward-symbolic"},
        {"battery.100.bolt", "battery-full-charging-symbolic"},
        {"battery.50", "battery-good-symbolic"},
        {"bell", "preferences-system-notifications-symbolic"},
        {"bell.fill", "preferences-system-notifications-symbolic"},
        {"bounds.size.width", "zoom-fit-best-symbolic"},
        {"bubble.left.fill", "chat-message-new-symbolic"},
        {"calendar", "x-office-calendar-symbolic"},
        {"calendar.badge.checkmark", "task-due-symbolic"},
        {"camera.fill", "camera-photo-symbolic"},
        {"camera.viewfinder", "camera-web-symbolic"},
        {"checklist", "view-list-bullet-symbolic"},
        {"checkmark", "object-select-symbolic"},
        {"checkmark.circle.fill", "emblem-ok-symbolic"},
        {"checkmark.shield.fill", "security-high-symbolic"},
        {"chevron.up", "pan-up-symbolic"},
        {"circle", "radio-symbolic"},
        {"clock", "preferences-system-time-symbolic"},
        {"doc.on.clipboard", "edit-paste-symbolic"},
        {"doc.on.clipboard.fill", "edit-paste-symbolic"},
        {"doc.on.doc", "edit-copy-symbolic"},
        {"exclamationmark.triangle", "dialog-warning-symbolic"},
        {"exclamationmark.triangle.fill", "dialog-warning-symbolic"},
        {"forward.fill", "media-skip-forward-symbolic"},
        {"gearshape.fill", "emblem-system-symbolic"},
        {"globe", "web-browser-symbolic"},
        {"hand.raised", "dialog-information-symbolic"},
        {"hand.raised.fill", "dialog-information-symbolic"},
        {"lock.circle", "changes-prevent-symbolic"},
        {"lock.shield", "security-medium-symbolic"},
        {"macwindow", "focus-windows-symbolic"},
        {"magnifyingglass", "system-search-symbolic"},
        {"mic.fill", "audio-input-microphone-symbolic"},
        {"minus.circle", "list-remove-symbolic"},
        {"music.note", "emblem-music-symbolic"},
        {"music.note.list", "folder-music-symbolic"},
        {"note.txt", "text-x-generic-symbolic"},
        {"pause.circle.fill", "media-playback-pause-symbolic"},
        {"pause.fill", "media-playback-pause-symbolic"},
        {"pencil", "document-edit-symbolic"},
        {"person.badge.key", "dialog-password-symbolic"},
        {"person.fill.viewfinder", "avatar-default-symbolic"},
        {"pip.enter", "view-restore-symbolic"},
        {"play.circle.fill", "media-playback-start-symbolic"},
        {"play.fill", "media-playback-start-symbolic"},
        {"play.rectangle.fill", "video-x-generic-symbolic"},
        {"playpause.fill", "media-playback-start-symbolic"},
        {"plus.circle", "list-add-symbolic"},
        {"power", "system-shutdown-symbolic"},
        {"power.circle.fill", "system-shutdown-symbolic"},
        {"powerplug.fill", "ac-adapter-symbolic"},
        {"questionmark.circle", "help-about-symbolic"},
        {"repeat", "media-playlist-repeat-symbolic"},
        {"slider.horizontal.3", "preferences-other-symbolic"},
        {"sparkles", "starred-symbolic"},
        {"speaker.slash.fill", "audio-volume-muted-symbolic"},
        {"square.and.arrow.up", "document-send-symbolic"},
        {"square.dashed", "edit-select-all-symbolic"},
        {"square.fill", "media-playback-stop-symbolic"},
        {"square.on.square", "edit-copy-symbolic"},
        {"stop.circle.fill", "media-playback-stop-symbolic"},
        {"stop.fill", "media-playback-stop-symbolic"},
        {"text.viewfinder", "insert-text-symbolic"},
        {"timer", "alarm-symbolic"},
        {"transform.rotation.z", "object-rotate-right-symbolic"},
        {"transform.scale.y", "object-flip-vertical-symbolic"},
        {"trash", "user-trash-symbolic"},
        {"tray.and.arrow.down.fill", "document-save-symbolic"},
        {"tray.fill", "folder-symbolic"},
        {"video.fill", "camera-video-symbolic"},
        {"video.slash", "camera-disabled-symbolic"},
        {"video.slash.fill", "camera-disabled-symbolic"},
        {"wand.and.rays", "applications-graphics-symbolic"},
        {"waveform", "audio-x-generic-symbolic"},
        {"waveform.circle.fill", "audio-x-generic-symbolic"},
        {"xmark", "window-close-symbolic"},
        {"xmark.circle.fill", "process-stop-symbolic"},
    };
    return t;
}

void assicuraTema()
{
    static const bool fatto = [] {
        // Without a desktop session Qt knows neither the theme nor where themes live.
        QStringList percorsi = QIcon::themeSearchPaths();
        for (const QString& p : QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                                          QStandardPaths::LocateDirectory))
            if (!percorsi.contains(p))
                percorsi << p;
        QIcon::setThemeSearchPaths(percorsi);
        // The icons above are Adwaita's.
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
            QIcon::setThemeName(QStringLiteral("Adwaita"));
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
        return true;
    }();
    (void)fatto;
}

} // namespace

namespace Simboli {

bool esiste(const QString& nome) { return tabella().contains(nome); }

QString nomeTema(const QString& nome) { return tabella().value(nome); }

QIcon icona(const QString& nome)
{
    const QString tema = nomeTema(nome);
    if (tema.isEmpty())
        return {};
    assicuraTema();
    return QIcon::fromTheme(tema);
}

QPixmap pixmap(const QString& nome, int lato, const QColor& colore, qreal dpr)
{
    // Kept: every paint of a view asks again, and each new one would look
    // the theme up and render its SVG anew.
    const QString chiave = QStringLiteral("halvora-simbolo|%1|%2|%3|%4")
                               .arg(nome)
                               .arg(lato)
                               .arg(colore.rgba64().toArgb32(), 0, 16)
                               .arg(dpr);
    QPixmap risultato;
    if (QPixmapCache::find(chiave, &risultato))
        return risultato;
    const QIcon i = icona(nome);
    risultato = QPixmap(QSize(lato, lato) * dpr);
    risultato.setDevicePixelRatio(dpr);
    risultato.fill(Qt::transparent);
    if (!i.isNull()) {
        QPainter p(&risultato);
        i.paint(&p, QRect(0, 0, lato, lato));
        // Symbolic icons are single-colour shapes: keep their alpha, take our colour.
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(QRect(0, 0, lato, lato), colore);
    }
    QPixmapCache::insert(chiave, risultato);
    return risultato;
}

} // namespace Simboli
