<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Il calendario non risponde.</source>
        <translation>El calendario no responde.</translation>
    </message>
    <message>
        <source>Impossibile riprodurre il memo.</source>
        <translation>No se puede reproducir la nota.</translation>
    </message>
    <message>
        <source>Promemoria messi da parte</source>
        <translation>Recordatorios apartados</translation>
    </message>
    <message>
        <source>Non salvata: %1</source>
        <translation>No guardada: %1</translation>
    </message>
</context>
</TS>
