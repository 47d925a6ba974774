#pragma once

#include "Notifiche.h"

#include <QList>
#include <QPair>

// Notices recorded in memory; the authorisation answer is set by the test.
class FakeNotifiche final : public Notifiche {
    Q_OBJECT
public:
    using Notifiche::Notifiche;

    void richiediAutorizzazione() override
    {
        ++richieste;
        emit autorizzazione(concessa);
    }
    void invia(const QString& titolo, const QString& corpo) override { inviate.append({titolo, corpo}); }

    bool concessa = true;
    int richieste = 0;
    QList<QPair<QString, QString>> inviate; // (title, body) in order
};
