<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT" sourcelanguage="it_IT">
<!-- Italian keys that name what only macOS has, said as this desktop has it;
     the English and Spanish tables say the same. -->
<context>
    <name>Halvora</name>
    <message>
        <source>TE LA MOSTRO NEL FINDER</source>
        <translation>TE LA MOSTRO NEL GESTORE DEI FILE</translation>
    </message>
    <message>
        <source>Invia con AirDrop</source>
        <translation>Invia con KDE Connect</translation>
    </message>
    <message>
        <source>Invia i %1 elementi selezionati con AirDrop</source>
        <translation>Invia i %1 elementi selezionati con KDE Connect</translation>
    </message>
    <message>
        <source>Invia tutto il vassoio con AirDrop</source>
        <translation>Invia tutto il vassoio con KDE Connect</translation>
    </message>
</context>
</TS>
