#pragma once

#include <QStringList>
#include <functional>
#include <optional>

// Where this desktop sets up the calendars that its store shows: its online
// accounts (GNOME's, KDE's), else a calendar program.
namespace ImpostazioniCalendari {

struct Computer {
    // The desktops of the session, as XDG_CURRENT_DESKTOP names them.
    QStringList desktop;
    // The command of an installed desktop entry, by id; none when absent
    // or its program is not there.
    std::function<std::optional<QStringList>(const QString& id)> voce;
    // The command that opens KDE's online accounts, where installed.
    std::optional<QStringList> accountKde;
};

// The command line to run: the session's own desktop first; none when the
// computer has nothing for calendars.
std::optional<QStringList> comando(const Computer& c);

// This computer, as the session sees it.
Computer diQuestoComputer();

} // namespace ImpostazioniCalendari
