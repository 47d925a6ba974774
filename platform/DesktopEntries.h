#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The desktop entries (.desktop files) installed for the user and the
// system: where Linux keeps what the original finds in an application
// bundle (its identifier, name and icon).
struct DesktopEntry {
    QString id;      // file name without ".desktop", e.g. "org.gnome.Nautilus"
    QString nome;    // Name=
    QString icona;   // Icon=
    QString exec;    // first word of Exec=, without its folder
    QString wmClass; // StartupWMClass=
    QString percorso;
    QStringList comando; // Exec= split into its arguments, field codes kept
};

class DesktopEntries {
public:
    // Reads every applications folder of XDG_DATA_HOME and XDG_DATA_DIRS;
    // the first entry of an id wins, as the desktop does.
    static DesktopEntries daSistema();
    // Reads the given applications folders only (tests).
    static DesktopEntries daCartelle(const QStringList& cartelle);

    std::optional<DesktopEntry> perId(const QString& id) const;
    // The entry of a window by its WM_CLASS (instance, class) and the file
    // name of its executable, trying StartupWMClass, the id itself, the
    // last dotted part of the id and the Exec command in that order.
    std::optional<DesktopEntry> perFinestra(const QString& istanza, const QString& classe,
                                            const QString& eseguibile) const;
    int size() const { return static_cast<int>(voci_.size()); }

    // Parses one .desktop file; nothing when it is not an application entry
    // or is hidden.
    static std::optional<DesktopEntry> leggi(const QString& percorso);
    // The arguments of an Exec= value, its quoting undone; empty when the
    // quoting is broken.
    static QStringList divideExec(const QString& valore);
    // The entry's command that opens `url`: %u, %U, %f and %F become the
    // address (appended when the command has none of them), the other field
    // codes are dropped; an empty `url` leaves the command alone. Run it
    // without a shell.
    static QStringList comandoPerUrl(const DesktopEntry& voce, const QString& url);

private:
    QMap<QString, DesktopEntry> voci_; // sorted, so ambiguous matches resolve the same way every time
};
