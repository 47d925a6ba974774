<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Impossibile controllare ora.</source>
        <translation>No se puede comprobar ahora.</translation>
    </message>
    <message>
        <source>Sei già aggiornato.</source>
        <translation>Ya estás actualizado.</translation>
    </message>
</context>
</TS>
