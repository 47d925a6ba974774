<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Accesso al calendario non concesso</source>
        <translation>Calendar access not granted</translation>
    </message>
    <message>
        <source>Apri Impostazioni</source>
        <translation>Open Settings</translation>
    </message>
    <message>
        <source>Crea per %1</source>
        <translation>Create for %1</translation>
    </message>
    <message>
        <source>Detta il promemoria</source>
        <translation>Dictate the reminder</translation>
    </message>
    <message>
        <source>Ferma e trascrivi</source>
        <translation>Stop and transcribe</translation>
    </message>
    <message>
        <source>Impossibile avviare la dettatura.</source>
        <translation>Could not start dictation.</translation>
    </message>
    <message>
        <source>Microfono non autorizzato.</source>
        <translation>Microphone not authorised.</translation>
    </message>
    <message>
        <source>Nessun impegno oggi</source>
        <translation>Nothing scheduled today</translation>
    </message>
    <message>
        <source>Nessuna app può aprire le impostazioni dei calendari</source>
        <translation>No app can open the calendar settings</translation>
    </message>
    <message>
        <source>OGGI</source>
        <translation>TODAY</translation>
    </message>
    <message>
        <source>Ora esatta, ripetizione e avviso</source>
        <translation>Exact time, repeat and alert</translation>
    </message>
    <message>
        <source>Quando</source>
        <translation>When</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non autorizzato.</source>
        <translation>Speech recognition not authorised.</translation>
    </message>
    <message>
        <source>Riconoscimento vocale non disponibile.</source>
        <translation>Speech recognition not available.</translation>
    </message>
    <message>
        <source>Ricordamelo fra poco</source>
        <translation>Remind me shortly</translation>
    </message>
    <message>
        <source>Ricordami di…</source>
        <translation>Remind me to…</translation>
    </message>
    <message>
        <source>Segna come completato</source>
        <translation>Mark as completed</translation>
    </message>
    <message>
        <source>il %1 alle %2</source>
        <translation>%1 at %2</translation>
    </message>
    <message>
        <source>in corso</source>
        <translation>ongoing</translation>
    </message>
    <message>
        <source>le %1</source>
        <translation>%1</translation>
    </message>
    <message>
        <source>· %1</source>
        <translation>· %1</translation>
    </message>
    <message>
        <source>scaduto · %1</source>
        <translation>overdue · %1</translation>
    </message>
    <message>
        <source>Non completato: %1</source>
        <translation>Not marked done: %1</translation>
    </message>
    <message>
        <source>Non rimandato: %1</source>
        <translation>Not snoozed: %1</translation>
    </message>
</context>
</TS>
