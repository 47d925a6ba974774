<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>%1 g fa</source>
        <translation>%1d ago</translation>
    </message>
    <message>
        <source>%1 h fa</source>
        <translation>%1h ago</translation>
    </message>
    <message>
        <source>%1 min fa</source>
        <translation>%1 min ago</translation>
    </message>
    <message>
        <source>Aggiornato %1</source>
        <translation>Updated %1</translation>
    </message>
    <message>
        <source>Sessione</source>
        <translation>Session</translation>
    </message>
    <message>
        <source>Settimana</source>
        <translation>Week</translation>
    </message>
    <message>
        <source>adesso</source>
        <translation>now</translation>
    </message>
    <message>
        <source>ieri</source>
        <translation>yesterday</translation>
    </message>
</context>
</TS>
